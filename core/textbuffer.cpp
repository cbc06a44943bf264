#include "core/textbuffer.h"

#include <charconv>

namespace Folvane {

TextBuffer& TextBuffer::operator<<(const char* text)
{
    m_bytes.append(text);
    return *this;
}

TextBuffer& TextBuffer::operator<<(char c)
{
    m_bytes.append(c);
    return *this;
}

TextBuffer& TextBuffer::operator<<(const QString& text)
{
    m_bytes.append(text.toUtf8());
    return *this;
}

TextBuffer& TextBuffer::operator<<(const QByteArray& text)
{
    m_bytes.append(text);
    return *this;
}

TextBuffer& TextBuffer::operator<<(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    m_bytes.append(buffer, int(result.ptr - buffer));
    return *this;
}

template <typename T>
TextBuffer& TextBuffer::appendInteger(T value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_bytes.append(buffer, int(result.ptr - buffer));
    return *this;
}

template TextBuffer& TextBuffer::appendInteger(int);
template TextBuffer& TextBuffer::appendInteger(long);
template TextBuffer& TextBuffer::appendInteger(long long);
template TextBuffer& TextBuffer::appendInteger(unsigned);
template TextBuffer& TextBuffer::appendInteger(unsigned long);
template TextBuffer& TextBuffer::appendInteger(unsigned long long);

} // namespace Folvane
