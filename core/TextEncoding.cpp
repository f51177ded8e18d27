// Encoding detection and conversion through the system's iconv.

#include "core/TextEncoding.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

namespace {

// An iconv conversion descriptor, closed on every path.
class TConverter {
public:
    TConverter(const std::string& to, const std::string& from) : FHandle(iconv_open(to.c_str(), from.c_str())) {}
    ~TConverter()
    {
        if (Valid()) iconv_close(FHandle);
    }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;
    bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }

    // Converts input; on a character that does not convert, onFailure(offset) is
    // asked for the number of input bytes it consumed itself (0 stops with false).
    template <class OnFailure>
    bool Convert(std::string_view input, std::string& out, OnFailure onFailure)
    {
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[16384];
        while (inLeft > 0) {
            char* o = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = iconv(FHandle, &in, &inLeft, &o, &outLeft);
            out.append(buffer, static_cast<std::size_t>(o - buffer));
            if (done != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            const std::size_t used = onFailure(static_cast<std::size_t>(in - input.data()));
            if (used == 0 || used > inLeft) return false;
            in += used;
            inLeft -= used;
        }
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(FHandle, nullptr, nullptr, &o, &outLeft);
        out.append(buffer, static_cast<std::size_t>(o - buffer));
        return true;
    }

private:
    iconv_t FHandle;
};

std::string Lower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

// The encoding pseudo-attribute of a leading "<?xml ...?>", or "".
std::string DeclaredEncoding(std::string_view text)
{
    if (text.substr(0, 5) != "<?xml") return {};
    const std::size_t end = text.find("?>");
    const std::string_view declaration = text.substr(0, end);
    const std::size_t key = declaration.find("encoding");
    if (key == std::string_view::npos) return {};
    std::size_t i = key + 8;
    while (i < declaration.size() && (declaration[i] == ' ' || declaration[i] == '=' || declaration[i] == '\t' ||
                                      declaration[i] == '\r' || declaration[i] == '\n'))
        ++i;
    if (i >= declaration.size()) return {};
    const char quote = declaration[i];
    const std::size_t close = declaration.find(quote, i + 1);
    if (close == std::string_view::npos) return {};
    return std::string(declaration.substr(i + 1, close - i - 1));
}

bool IsUtf8Name(const std::string& lower)
{
    return lower.empty() || lower == "utf-8" || lower == "utf8" || lower == "us-ascii" || lower == "ascii";
}

std::size_t Utf8Length(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    return 2;
}

unsigned long Utf8Code(std::string_view text, std::size_t at, std::size_t length)
{
    unsigned long code = static_cast<unsigned char>(text[at]) & (length == 1 ? 0x7F : 0x3F >> (length - 1));
    for (std::size_t k = 1; k < length && at + k < text.size(); ++k)
        code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    return code;
}

}  // namespace

bool DecodeDocumentText(std::string raw, TqelDecodedText& result, std::string& error)
{
    result = {};
    std::string from;
    std::size_t skip = 0;
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE) {
        from = "UTF-16LE";
        skip = 2;
    } else if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFE &&
               static_cast<unsigned char>(raw[1]) == 0xFF) {
        from = "UTF-16BE";
        skip = 2;
    } else if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        result.Text = std::move(raw);
        return true;
    } else {
        const std::string declared = DeclaredEncoding(raw);
        if (IsUtf8Name(Lower(declared))) {
            result.Text = std::move(raw);
            return true;
        }
        from = declared;
    }
    TConverter toUtf8("UTF-8", from);
    if (!toUtf8.Valid()) {
        error = "1:1: encoding \"" + from + "\" is not supported";
        return false;
    }
    const std::string_view body = std::string_view(raw).substr(skip);
    std::string text;
    text.reserve(body.size() + body.size() / 2);
    if (!toUtf8.Convert(body, text, [](std::size_t) { return std::size_t{0}; })) {
        error = "1:1: the text is not valid " + from;
        return false;
    }
    result.Bom = raw.substr(0, skip);
    result.Encoding = from;
    // Saving converts back; a text that would not come back as it was is refused now.
    if (EncodeDocumentText(text, from, result.Bom) != raw) {
        error = "1:1: the text does not convert back to " + from + " unchanged";
        return false;
    }
    result.Text = std::move(text);
    return true;
}

std::string EncodeDocumentText(std::string utf8, const std::string& encoding, const std::string& bom)
{
    if (encoding.empty()) return utf8;
    TConverter fromUtf8(encoding, "UTF-8");
    std::string out = bom;
    if (!fromUtf8.Valid()) return utf8;
    out.reserve(utf8.size() + bom.size());
    fromUtf8.Convert(utf8, out, [&](std::size_t at) {
        const std::size_t length = Utf8Length(static_cast<unsigned char>(utf8[at]));
        const std::string reference = "&#" + std::to_string(Utf8Code(utf8, at, length)) + ";";
        std::string encoded;
        TConverter ascii(encoding, "UTF-8");
        ascii.Convert(reference, encoded, [](std::size_t) { return std::size_t{0}; });
        out += encoded;
        return length;
    });
    return out;
}

bool IsUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned long minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) { length = 2; minimum = 0x80; }
        else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; minimum = 0x800; }
        else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; minimum = 0x10000; }
        else return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        const unsigned long code = Utf8Code(text, i, length);
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

bool CanEncode(std::string_view utf8, const std::string& encoding)
{
    bool ascii = true;
    for (const char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return true;
    TConverter converter(encoding, "UTF-8");
    std::string out;
    return converter.Valid() && converter.Convert(utf8, out, [](std::size_t) { return std::size_t{0}; });
}
