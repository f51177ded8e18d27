#pragma once
// What a document read in the standard reading keeps beside its element tree, so
// that saving can write every unchanged byte as it was read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/qelXMLParser2.h"

// Bits of TqelXMLNode2::SourceFlags.
enum TqelSourceFlag : std::uint8_t {
    SourceHasSpan = 1,   // the offsets of the element are valid
    SourceEmptyTag = 2,  // read as an empty-element tag ("<a/>")
    // Read from an entity's replacement text: the reference stands for it in the
    // text, and saving writes the reference (edits below it are not saved).
    SourceFromEntity = 4,
};

using TqelEntityTable = std::unordered_map<std::string, std::string>;

struct TqelStandardSource {
    std::string Encoding;        // iconv name of the file's encoding; "" for UTF-8
    std::string Bom;             // bytes written before the encoded text (UTF-16 files)
    std::size_t TextLength = 0;  // the document's own text at the start of Source; rebuilt fragments follow it
    std::size_t PrologEnd = 0;   // where the outermost element's start tag stood
    std::size_t EpilogStart = 0; // just past the outermost element's end tag
    TqelEntityTable Entities;    // internal general entities and their replacement text
};

// Digest of what an element holds: name, attributes, text and which elements its
// children are. Equal digests mean the element was not changed.
std::uint64_t ElementDigest(const TqelXMLNode2& node);
// True when node's offsets refer to document's Source.
bool HasSourceSpan(const TqelXMLParser2& document, const TqelXMLNode2& node);
// Offset just past the element's end tag (or its empty-element tag).
std::size_t SourceEnd(std::string_view source, const TqelXMLNode2& node);

// Reads text (UTF-8) as one XML 1.0 document into target, whose offsets are text's
// own plus base. Entity declarations are added to state. Elements below target get
// document as their Document. On error nothing is kept in target and error holds
// "LINE:COLUMN: reason".
bool ReadStandardXml(TqelXMLParser2& document, TqelXMLNode2& target, std::string_view text, std::size_t base,
                     TqelStandardSource& state, std::string& error);

// The lossless text of node: the whole document (prolog and epilog included,
// encoded as the file was) when node is the document, else the element in UTF-8.
// Raises EEncodingError for a name the document's encoding cannot hold.
std::string WriteLossless(TqelXMLParser2& document, const TqelXMLNode2& node);
