#pragma once
// The one conversion between a document's bytes and the text a person sees and
// types. It is chosen when the document is loaded and used for every name, text,
// value and query of that document, so that showing a text never changes a byte.

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

class TTextCodec {
public:
    // UTF-8.
    TTextCodec();

    // The codec for a loaded document: the declared encoding when it names a
    // byte-oriented encoding Qt can convert; otherwise UTF-8 when the whole
    // text is valid UTF-8; otherwise ISO-8859-1, which reads any byte.
    static TTextCodec ForDocument(std::string_view declaredEncoding, std::string_view text);
    // The codec of that name, or UTF-8 when Qt cannot convert it (check Known).
    static TTextCodec Named(std::string_view name);
    // True when Qt converts the named encoding one byte sequence at a time
    // (16- and 32-bit encodings cannot describe the engine's 8-bit text).
    static bool Known(std::string_view name);

    QString Decode(std::string_view bytes) const;
    // Characters the encoding cannot hold become its replacement character.
    std::string Encode(const QString& text) const;
    // True when the decoded bytes, written in UTF-8, are the bytes themselves:
    // well-formed UTF-8 for the UTF-8 codec, ASCII for ISO-8859-1.
    bool KeepsUtf8(std::string_view bytes) const;
    // The encoding's name, e.g. "UTF-8", "ISO-8859-1", "windows-1251".
    const QByteArray& Name() const { return FName; }

private:
    enum class TKind { Utf8, Latin1, Other };
    TKind FKind = TKind::Utf8;
    QByteArray FName;
};

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
