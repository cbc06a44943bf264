#ifndef FOLVANE_BINARYIO_H
#define FOLVANE_BINARYIO_H

#include <QDataStream>
#include <QString>

namespace Folvane::Binary {

// The model file's primitives: little-endian integers, IEEE doubles,
// one-byte flags and strings as a 64-bit byte count plus UTF-8 bytes.
void prepare(QDataStream& stream);

void writeInt(QDataStream& out, qint32 value);
void writeInt64(QDataStream& out, qint64 value);
void writeReal(QDataStream& out, double value);
void writeFlag(QDataStream& out, bool value);
void writeByte(QDataStream& out, quint8 value);
void writeString(QDataStream& out, const QString& text);

qint32 readInt(QDataStream& in);
qint64 readInt64(QDataStream& in);
quint64 readUInt64(QDataStream& in);
double readReal(QDataStream& in);
bool readFlag(QDataStream& in);
quint8 readByte(QDataStream& in);
QString readString(QDataStream& in);

// Bytes left to read, or -1 when the device cannot tell.
qint64 remaining(const QDataStream& in);

// Reads a 32-bit count of records that take at least minRecordBytes each.
// A negative count, or one the rest of the stream cannot hold, marks the
// stream corrupt and gives 0, so no reader allocates beyond the file.
qint32 readCount(QDataStream& in, qint64 minRecordBytes);

// The same check for counts read some other way.
bool fits(QDataStream& in, quint64 count, qint64 minRecordBytes);

// A double cut toward zero to a 32-bit integer, clamped to its range
// (NaN gives 0), as the file stores counts and digit numbers.
qint32 truncatedInt(double value);

// Smallest record sizes, for count checks.
constexpr qint64 StringBytes = 8;
constexpr qint64 LinkerBytes = 8 + StringBytes + 1;

} // namespace Folvane::Binary

#endif
