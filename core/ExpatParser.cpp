#include "core/ExpatParser.h"

#include <algorithm>
#include <new>

namespace {
// At most this ratio of expanded to read bytes once an expansion passes the threshold.
constexpr float MaxAmplification = 100.0f;
constexpr unsigned long long AmplificationThreshold = 8ULL << 20;
// expat copies what it is given into a buffer of its own: feeding the text in
// pieces keeps that copy small however large the document is.
constexpr std::size_t ChunkSize = std::size_t{256} << 10;
}  // namespace

TqelExpatParser MakeGuardedParser()
{
    TqelExpatParser parser(XML_ParserCreate("UTF-8"));  // overrides what the declaration says: the text is UTF-8 by now
    if (!parser) throw std::bad_alloc();
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser.get(), MaxAmplification);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser.get(), AmplificationThreshold);
    return parser;
}

bool ParseWhole(XML_Parser parser, std::string_view text)
{
    std::size_t offset = 0;
    do {
        const std::size_t n = std::min(ChunkSize, text.size() - offset);
        const bool last = offset + n == text.size();
        if (XML_Parse(parser, text.data() + offset, static_cast<int>(n), last) != XML_STATUS_OK) return false;
        offset += n;
    } while (offset < text.size());
    return true;
}
