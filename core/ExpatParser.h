#pragma once
// An expat parser set up the way every standard reading needs it: UTF-8 input,
// no parameter entities (so no external DTD is read), and the amplification
// guard against entity expansion attacks.

#include <expat.h>

#include <memory>
#include <string_view>

struct TqelExpatDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};
using TqelExpatParser = std::unique_ptr<XML_ParserStruct, TqelExpatDeleter>;

// A new guarded parser; raises std::bad_alloc when expat cannot make one.
TqelExpatParser MakeGuardedParser();
// Parses the whole of text, in pieces; false on the first error.
bool ParseWhole(XML_Parser parser, std::string_view text);
