#include "core/textbuffer.h"
#include "core/savefile.h"

#include <QIODevice>
#include <QSaveFile>
#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdint>

namespace Folvane {

namespace {

// Powers of ten up to 10^22 are exact doubles.
constexpr double powersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The six significant digits of |v| and its decimal exponent, rounded as
// printf rounds the exact binary value. The scaled value carries at most a
// rounding or two (some 1e-10 at this size), so it decides every case but
// those within 1e-6 of a tie, or outside the exact powers: those return
// false and go the slow, exact way.
bool sixDigits(double v, std::int64_t& digits, int& exponent)
{
    const double a = std::fabs(v);
    std::uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    // floor(log10(2) * (binary exponent - 1)), from the exponent bits; at
    // most one off, which the loop corrects.
    const int binary = int((bits >> 52) & 0x7ff) - 1022;
    int e = ((binary - 1) * 78913) >> 18;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = 5 - e;
        if (k > 22 || k < -22)
            return false;
        const double scaled = k >= 0 ? a * powersOfTen[k] : a / powersOfTen[-k];
        if (scaled < 99999.5) {
            --e;
            continue;
        }
        if (scaled >= 999999.5) {
            ++e;
            continue;
        }
        const double whole = double(std::int64_t(scaled));
        const double fraction = scaled - whole;
        if (std::fabs(fraction - 0.5) < 1e-6)
            return false;
        digits = std::int64_t(whole) + (fraction > 0.5 ? 1 : 0);
        exponent = e;
        if (digits == 1000000) {
            digits = 100000;
            ++exponent;
        }
        return true;
    }
    return false;
}

const char digitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                          "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                          "8081828384858687888990919293949596979899";

// Two digits at a time, from the right.
char* writeUnsigned(char* end, unsigned long long value)
{
    while (value >= 100) {
        const unsigned i = unsigned(value % 100) * 2;
        value /= 100;
        *--end = digitPairs[i + 1];
        *--end = digitPairs[i];
    }
    if (value >= 10) {
        *--end = digitPairs[value * 2 + 1];
        *--end = digitPairs[value * 2];
    } else {
        *--end = char('0' + value);
    }
    return end;
}

// The number of decimal digits of value (1 for 0).
int decimalDigits(unsigned long long value)
{
    int digits = 1;
    while (value >= 10000) {
        value /= 10000;
        digits += 4;
    }
    return digits + (value >= 10) + (value >= 100) + (value >= 1000);
}

} // namespace

int formatG(char* out, double v)
{
    std::int64_t digits = 0;
    int exponent = 0;
    if (v == 0.0 || !std::isfinite(v) || !sixDigits(v, digits, exponent))
        return int(std::to_chars(out, out + 32, v, std::chars_format::general, 6).ptr - out);
    char d[6];
    writeUnsigned(d + 6, static_cast<unsigned long long>(digits));
    int significant = 6;
    while (significant > 1 && d[significant - 1] == '0')
        --significant;
    char* p = out;
    if (v < 0)
        *p++ = '-';
    if (exponent < -4 || exponent >= 6) {
        *p++ = d[0];
        if (significant > 1) {
            *p++ = '.';
            for (int i = 1; i < significant; ++i)
                *p++ = d[i];
        }
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude >= 100)
            *p++ = char('0' + magnitude / 100);
        *p++ = char('0' + magnitude / 10 % 10);
        *p++ = char('0' + magnitude % 10);
    } else if (exponent >= 0) {
        for (int i = 0; i <= exponent; ++i)
            *p++ = d[i];
        if (significant > exponent + 1) {
            *p++ = '.';
            for (int i = exponent + 1; i < significant; ++i)
                *p++ = d[i];
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = 0; i < -exponent - 1; ++i)
            *p++ = '0';
        for (int i = 0; i < significant; ++i)
            *p++ = d[i];
    }
    return int(p - out);
}

TextBuffer::TextBuffer(QIODevice* sink)
    : m_sink(sink)
{
}

bool TextBuffer::flush()
{
    if (m_sink && m_size > 0) {
        m_failed = m_failed || m_sink->write(m_text.get(), qint64(m_size)) != qint64(m_size);
        m_size = 0;
    }
    return !m_failed;
}

void TextBuffer::grow(size_t needed)
{
    // With a sink the held text goes out instead of the buffer growing.
    if (m_sink && m_size > 0) {
        needed -= m_size;
        flush();
        if (needed <= m_capacity)
            return;
    }
    const size_t capacity = std::max({m_capacity * 2, needed + 4096, m_sink ? SinkChunk : size_t(0)});
    std::unique_ptr<char[]> text(new char[capacity]);
    if (m_size)
        std::memcpy(text.get(), m_text.get(), m_size);
    m_text = std::move(text);
    m_capacity = capacity;
}

TextBuffer& TextBuffer::operator<<(const QString& text)
{
    return *this << text.toUtf8();
}

TextBuffer& TextBuffer::operator<<(double value)
{
    m_size += size_t(formatG(reserveTail(32), value));
    return *this;
}

template <typename T>
TextBuffer& TextBuffer::appendInteger(T value)
{
    const bool negative = value < 0;
    // The magnitude in unsigned arithmetic, so the most negative value works too.
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value);
    // Written in place, from the right, once its length is known.
    const size_t length = size_t(decimalDigits(magnitude)) + (negative ? 1 : 0);
    char* begin = reserveTail(length);
    writeUnsigned(begin + length, magnitude);
    if (negative)
        *begin = '-';
    m_size += length;
    return *this;
}

bool saveText(const QString& path, const std::function<void(TextBuffer&)>& write, QString* error)
{
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly | QIODevice::Text);
    if (saved) {
        TextBuffer text(&file);
        write(text);
        saved = text.flush() && commitWhole(file);
    }
    if (!saved && error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return saved;
}

template TextBuffer& TextBuffer::appendInteger(int);
template TextBuffer& TextBuffer::appendInteger(long);
template TextBuffer& TextBuffer::appendInteger(long long);
template TextBuffer& TextBuffer::appendInteger(unsigned);
template TextBuffer& TextBuffer::appendInteger(unsigned long);
template TextBuffer& TextBuffer::appendInteger(unsigned long long);

} // namespace Folvane
