#ifndef FOLVANE_TEXTBUFFER_H
#define FOLVANE_TEXTBUFFER_H

#include <QByteArray>
#include <QString>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

class QIODevice;

namespace Folvane {

// Writes v as printf's "%g" would (6 significant digits) into out, which
// holds at least 32 characters; returns the number of characters.
int formatG(char* out, double v);

// An append-only text buffer for the large text outputs (solver decks, OBJ
// meshes): numbers are formatted in place, as printf's %g and %d would.
class TextBuffer
{
public:
    // Text for a sink goes out to it in pieces of about SinkChunk bytes,
    // so a large file never has to fit in memory at once.
    static constexpr size_t SinkChunk = 4 << 20;
    explicit TextBuffer(QIODevice* sink = nullptr);

    // Writes what is held to the sink; false once any write has failed.
    bool flush();

    TextBuffer& operator<<(const char* text) { return append(text, std::strlen(text)); }
    TextBuffer& operator<<(char c)
    {
        *reserveTail(1) = c;
        ++m_size;
        return *this;
    }
    TextBuffer& operator<<(const QString& text);
    TextBuffer& operator<<(const QByteArray& text) { return append(text.constData(), size_t(text.size())); }
    TextBuffer& operator<<(std::string_view text) { return append(text.data(), text.size()); }
    TextBuffer& operator<<(const TextBuffer& text) { return append(text.data(), text.size()); }
    TextBuffer& operator<<(double value);
    TextBuffer& operator<<(int value) { return appendInteger(value); }
    TextBuffer& operator<<(long value) { return appendInteger(value); }
    TextBuffer& operator<<(long long value) { return appendInteger(value); }
    TextBuffer& operator<<(unsigned value) { return appendInteger(value); }
    TextBuffer& operator<<(unsigned long value) { return appendInteger(value); }
    TextBuffer& operator<<(unsigned long long value) { return appendInteger(value); }

    const char* data() const { return m_text.get(); }
    size_t size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    QByteArray bytes() const { return QByteArray(data(), int(m_size)); }

private:
    TextBuffer& append(const char* text, size_t n)
    {
        std::memcpy(reserveTail(n), text, n);
        m_size += n;
        return *this;
    }
    // Room for n more characters at the end.
    char* reserveTail(size_t n)
    {
        if (m_size + n > m_capacity)
            grow(m_size + n);
        return m_text.get() + m_size;
    }
    void grow(size_t needed);
    template <typename T>
    TextBuffer& appendInteger(T value);

    std::unique_ptr<char[]> m_text;
    size_t m_size = 0;
    size_t m_capacity = 0;
    QIODevice* m_sink = nullptr;
    bool m_failed = false;
};

// Writes the text that write() produces to path in text mode, beside the
// target first and renamed into place, so no reader ever finds half a file
// and a failed write leaves the previous file as it was; false when it
// cannot be written, with "cannot write <path>: <reason>" in error.
bool saveText(const QString& path, const std::function<void(TextBuffer&)>& write, QString* error = nullptr);

} // namespace Folvane

#endif
