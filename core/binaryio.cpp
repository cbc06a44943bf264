#include "core/binaryio.h"

#include <QIODevice>
#include <limits>

namespace Folvane::Binary {

void prepare(QDataStream& stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
}

void writeInt(QDataStream& out, qint32 value) { out << value; }
void writeInt64(QDataStream& out, qint64 value) { out << value; }
void writeReal(QDataStream& out, double value) { out << value; }
void writeFlag(QDataStream& out, bool value) { out << quint8(value ? 1 : 0); }
void writeByte(QDataStream& out, quint8 value) { out << value; }

void writeString(QDataStream& out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    out << quint64(bytes.size());
    out.writeRawData(bytes.constData(), bytes.size());
}

template <typename T>
static T readValue(QDataStream& in)
{
    T value{};
    in >> value;
    return in.status() == QDataStream::Ok ? value : T{};
}

qint32 readInt(QDataStream& in) { return readValue<qint32>(in); }
qint64 readInt64(QDataStream& in) { return readValue<qint64>(in); }
quint64 readUInt64(QDataStream& in) { return readValue<quint64>(in); }
double readReal(QDataStream& in) { return readValue<double>(in); }
quint8 readByte(QDataStream& in) { return readValue<quint8>(in); }
bool readFlag(QDataStream& in) { return readByte(in) != 0; }

qint32 truncatedInt(double value)
{
    if (!(value == value))
        return 0;
    return qint32(qBound<double>(std::numeric_limits<qint32>::min(), value, std::numeric_limits<qint32>::max()));
}

qint64 remaining(const QDataStream& in)
{
    const QIODevice* device = in.device();
    return device ? device->bytesAvailable() : -1;
}

bool fits(QDataStream& in, quint64 count, qint64 minRecordBytes)
{
    if (in.status() != QDataStream::Ok)
        return false;
    const qint64 left = remaining(in);
    const quint64 perRecord = quint64(qMax<qint64>(minRecordBytes, 1));
    if (left < 0 || count > quint64(left) / perRecord) {
        in.setStatus(QDataStream::ReadCorruptData);
        return false;
    }
    return true;
}

qint32 readCount(QDataStream& in, qint64 minRecordBytes)
{
    const qint32 count = readInt(in);
    if (count < 0) {
        in.setStatus(QDataStream::ReadCorruptData);
        return 0;
    }
    return fits(in, quint64(count), minRecordBytes) ? count : 0;
}

QString readString(QDataStream& in)
{
    const quint64 size = readUInt64(in);
    if (!fits(in, size, 1))
        return QString();
    QByteArray bytes(int(size), Qt::Uninitialized);
    if (in.readRawData(bytes.data(), int(size)) != int(size)) {
        in.setStatus(QDataStream::ReadPastEnd);
        return QString();
    }
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromUtf8(bytes);
}

} // namespace Folvane::Binary
