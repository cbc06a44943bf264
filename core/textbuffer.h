#ifndef FOLVANE_TEXTBUFFER_H
#define FOLVANE_TEXTBUFFER_H

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace Folvane {

// An append-only text buffer for the large text outputs (solver decks, OBJ
// meshes): numbers are formatted in place, as printf's %g and %d would.
class TextBuffer
{
public:
    TextBuffer& operator<<(const char* text);
    TextBuffer& operator<<(char c);
    TextBuffer& operator<<(const QString& text);
    TextBuffer& operator<<(const QByteArray& text);
    TextBuffer& operator<<(double value);
    TextBuffer& operator<<(int value) { return appendInteger(value); }
    TextBuffer& operator<<(long value) { return appendInteger(value); }
    TextBuffer& operator<<(long long value) { return appendInteger(value); }
    TextBuffer& operator<<(unsigned value) { return appendInteger(value); }
    TextBuffer& operator<<(unsigned long value) { return appendInteger(value); }
    TextBuffer& operator<<(unsigned long long value) { return appendInteger(value); }

    const QByteArray& bytes() const { return m_bytes; }
    void reserve(int bytes) { m_bytes.reserve(bytes); }
    void clear() { m_bytes.clear(); }

private:
    template <typename T>
    TextBuffer& appendInteger(T value);

    QByteArray m_bytes;
};

} // namespace Folvane

#endif
