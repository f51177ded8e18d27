#pragma once
// A stream over bytes held in memory, with one position for reading and writing,
// as the blob fields of a record buffer need it.

#include <cstddef>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

// The buffer behind TMemoryStream. Every write goes through xsputn or overflow
// (there is no put area), so that a write can be noticed; reads use a get area
// over the stored bytes, which any write or seek takes down again.
class TMemoryStreamBuffer : public std::streambuf {
public:
    std::string_view View() const { return FData; }
    std::size_t Size() const { return FData.size(); }
    std::size_t Position() const;
    // Empties the buffer and sets the position to 0.
    void Clear();
    // Replaces the content with text and sets the position to 0; this does not count as a write.
    void Assign(std::string_view text);
    // False for a position past the end.
    bool SetPosition(std::size_t position);
    // True once anything was written through the stream since the last ResetWritten.
    bool Written() const { return FWritten; }
    void ResetWritten() { FWritten = false; }

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
    std::streamsize showmanyc() override;

private:
    // Takes the read position out of the get area and drops the get area.
    void TakeReadPosition();

    std::string FData;
    std::size_t FPosition = 0;
    bool FWritten = false;
};

class TMemoryStream : public std::iostream {
public:
    TMemoryStream();
    TMemoryStream(const TMemoryStream&) = delete;
    TMemoryStream& operator=(const TMemoryStream&) = delete;
    ~TMemoryStream() override = default;

    std::size_t Size() const { return FBuffer.Size(); }
    std::size_t Position() const { return FBuffer.Position(); }
    // False, and nothing changes, for a position past the end.
    bool SetPosition(std::size_t position);
    // The whole content, whatever the position.
    std::string_view View() const { return FBuffer.View(); }
    // Empties the stream: size and position 0, error flags cleared.
    void Clear();
    // The whole content becomes text; position 0, error flags cleared.
    void Assign(std::string_view text);

protected:
    TMemoryStreamBuffer FBuffer;
};
