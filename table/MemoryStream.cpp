#include "table/MemoryStream.h"

#include <cstring>

std::size_t TMemoryStreamBuffer::Position() const
{
    return eback() ? static_cast<std::size_t>(gptr() - eback()) : FPosition;
}

void TMemoryStreamBuffer::TakeReadPosition()
{
    if (!eback()) return;
    FPosition = static_cast<std::size_t>(gptr() - eback());
    setg(nullptr, nullptr, nullptr);
}

void TMemoryStreamBuffer::Clear()
{
    setg(nullptr, nullptr, nullptr);
    FData.clear();
    FPosition = 0;
}

void TMemoryStreamBuffer::Assign(std::string_view text)
{
    setg(nullptr, nullptr, nullptr);
    FData.assign(text);
    FPosition = 0;
}

bool TMemoryStreamBuffer::SetPosition(std::size_t position)
{
    TakeReadPosition();
    if (position > FData.size()) return false;
    FPosition = position;
    return true;
}

TMemoryStreamBuffer::int_type TMemoryStreamBuffer::underflow()
{
    TakeReadPosition();
    if (FPosition >= FData.size()) return traits_type::eof();
    char* base = FData.data();
    setg(base, base + FPosition, base + FData.size());
    return traits_type::to_int_type(*gptr());
}

TMemoryStreamBuffer::int_type TMemoryStreamBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    xsputn(&ch, 1);
    return c;
}

std::streamsize TMemoryStreamBuffer::xsputn(const char* s, std::streamsize n)
{
    TakeReadPosition();
    if (n <= 0) return 0;
    const auto count = static_cast<std::size_t>(n);
    if (FPosition + count > FData.size()) FData.resize(FPosition + count);
    std::memcpy(FData.data() + FPosition, s, count);
    FPosition += count;
    FWritten = true;
    return n;
}

TMemoryStreamBuffer::pos_type TMemoryStreamBuffer::seekoff(off_type off, std::ios_base::seekdir dir,
                                                           std::ios_base::openmode)
{
    TakeReadPosition();
    off_type origin = 0;
    if (dir == std::ios_base::cur)
        origin = static_cast<off_type>(FPosition);
    else if (dir == std::ios_base::end)
        origin = static_cast<off_type>(FData.size());
    const off_type target = origin + off;
    if (target < 0 || target > static_cast<off_type>(FData.size())) return pos_type(off_type(-1));
    FPosition = static_cast<std::size_t>(target);
    return pos_type(target);
}

TMemoryStreamBuffer::pos_type TMemoryStreamBuffer::seekpos(pos_type pos, std::ios_base::openmode which)
{
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

std::streamsize TMemoryStreamBuffer::showmanyc()
{
    TakeReadPosition();
    return static_cast<std::streamsize>(FData.size() - FPosition);
}

TMemoryStream::TMemoryStream() : std::iostream(nullptr)
{
    rdbuf(&FBuffer);
}

bool TMemoryStream::SetPosition(std::size_t position)
{
    clear();
    return FBuffer.SetPosition(position);
}

void TMemoryStream::Clear()
{
    clear();
    FBuffer.Clear();
}

void TMemoryStream::Assign(std::string_view text)
{
    clear();
    FBuffer.Assign(text);
}
