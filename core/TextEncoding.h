#pragma once
// The encodings of the standard reading: a document is held as UTF-8 and saved
// back in the encoding it was read in.

#include <stdexcept>
#include <string>
#include <string_view>

// Text that cannot be written in a document's encoding.
class EEncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file's text as UTF-8, and how to encode it back.
struct TqelDecodedText {
    std::string Text;      // UTF-8 (a UTF-8 BOM stays in it)
    std::string Encoding;  // iconv name the file was in; "" for UTF-8
    std::string Bom;       // bytes that preceded the converted text (UTF-16)
};

// Finds the encoding (UTF-16 BOM, else the declaration's, else UTF-8) and converts
// raw to UTF-8. False with error set when the encoding is unknown to the system,
// the bytes do not convert, or they would not convert back unchanged.
bool DecodeDocumentText(std::string raw, TqelDecodedText& result, std::string& error);
// utf8 in encoding (Bom first); a character the encoding cannot hold is written as
// a character reference. Returns utf8 itself when encoding is "".
std::string EncodeDocumentText(std::string utf8, const std::string& encoding, const std::string& bom);
// True when text is valid UTF-8.
bool IsUtf8(std::string_view text);
// True when every character of utf8 exists in encoding.
bool CanEncode(std::string_view utf8, const std::string& encoding);
