#include "app/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Qt's own encodings that cannot describe a document of 8-bit text: the wide ones,
// and the system's, which depends on the machine.
bool Unusable(QStringConverter::Encoding encoding)
{
    switch (encoding) {
    case QStringConverter::System:
    case QStringConverter::Utf16:
    case QStringConverter::Utf16LE:
    case QStringConverter::Utf16BE:
    case QStringConverter::Utf32:
    case QStringConverter::Utf32LE:
    case QStringConverter::Utf32BE:
        return true;
    default:
        return false;
    }
}

QByteArray ToByteArray(std::string_view s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Runs of ASCII, eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ull) break;
            p += 8;
        }
        if (p == end) break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length;
        std::uint32_t code;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < length) return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        p += length;
    }
    return true;
}

TTextCodec::TTextCodec() : FName("UTF-8") {}

bool TTextCodec::Known(std::string_view name)
{
    if (name.empty()) return false;
    const QByteArray key = ToByteArray(name);
    if (const auto builtin = QStringConverter::encodingForName(key.constData())) return !Unusable(*builtin);
    // Other names go to the converters Qt was built with.
    QStringDecoder decoder(key.constData());
    return decoder.isValid();
}

TTextCodec TTextCodec::Named(std::string_view name)
{
    TTextCodec codec;
    if (!Known(name)) return codec;
    const QByteArray key = ToByteArray(name);
    const auto builtin = QStringConverter::encodingForName(key.constData());
    if (builtin && *builtin == QStringConverter::Utf8) {
        codec.FKind = TKind::Utf8;
        codec.FName = "UTF-8";
    } else if (builtin && *builtin == QStringConverter::Latin1) {
        codec.FKind = TKind::Latin1;
        codec.FName = "ISO-8859-1";
    } else {
        codec.FKind = TKind::Other;
        codec.FName = key;
    }
    return codec;
}

TTextCodec TTextCodec::ForDocument(std::string_view declaredEncoding, std::string_view text)
{
    if (Known(declaredEncoding)) return Named(declaredEncoding);
    return Named(IsValidUtf8(text) ? "UTF-8" : "ISO-8859-1");
}

QString TTextCodec::Decode(std::string_view bytes) const
{
    const auto size = static_cast<qsizetype>(bytes.size());
    switch (FKind) {
    case TKind::Utf8:
        return QString::fromUtf8(bytes.data(), size);
    case TKind::Latin1:
        return QString::fromLatin1(bytes.data(), size);
    case TKind::Other:
        break;
    }
    QStringDecoder decoder(FName.constData(), QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes.data(), size));
}

bool TTextCodec::KeepsUtf8(std::string_view bytes) const
{
    switch (FKind) {
    case TKind::Utf8:
        return IsValidUtf8(bytes);
    case TKind::Latin1:
        return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    case TKind::Other:
        break;
    }
    return false;
}

std::string TTextCodec::Encode(const QString& text) const
{
    QByteArray bytes;
    switch (FKind) {
    case TKind::Utf8:
        bytes = text.toUtf8();
        break;
    case TKind::Latin1:
        bytes = text.toLatin1();
        break;
    case TKind::Other: {
        QStringEncoder encoder(FName.constData(), QStringConverter::Flag::Stateless);
        bytes = encoder.encode(text);
        break;
    }
    }
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
