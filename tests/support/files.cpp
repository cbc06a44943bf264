#include "files.h"

#include "blade/kblade.h"
#include "core/binaryio.h"
#include "core/messages.h"

#include <QBuffer>
#include <QFile>

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    // A new file rather than a truncated one: the file system flushes a
    // file that is truncated and rewritten, which slows a loop of writes.
    QFile::remove(path);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

QByteArray modelBytes(const Folvane::KBlade& blade)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream out(&buffer);
    Folvane::Binary::prepare(out);
    blade.writeStream(out);
    return bytes;
}

bool readModelBytes(Folvane::KBlade& blade, const QByteArray& bytes)
{
    QDataStream in(bytes);
    Folvane::Binary::prepare(in);
    Folvane::QuietDebug quiet;
    return blade.readStream(in);
}
