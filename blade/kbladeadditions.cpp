// The model file's additions block: what the lists' records have no room
// for, after them, so that files without it stay as they always were.
//
//   tag "FVAD" (4 bytes), version (int32), payload length (int64),
//   payload, MD5 of the payload (16 bytes)
//   payload, version 1: material count (int32, the material list's), then
//   per material its strengths Xt, Xc, Yt, Yc, S as linked-value records;
//   version 2 adds the modal and buckling mode counts and the buckled load
//   case (int32 each) and the four design checks as objective records.

#include "blade/kblade.h"

#include "blade/kmaterial.h"
#include "blade/koptsetting.h"
#include "core/binaryio.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <cstring>

namespace Folvane {

namespace {

constexpr char Tag[4] = {'F', 'V', 'A', 'D'};
constexpr qint32 Version = 2;
constexpr int DigestBytes = 16;

QByteArray digest(const QByteArray& payload)
{
    return QCryptographicHash::hash(payload, QCryptographicHash::Md5);
}

} // namespace

bool KBlade::hasAdditions() const
{
    for (int i = 0; i < materials()->count(); ++i)
        if (materials()->material(i)->hasStrengths())
            return true;
    return optSetting()->checksChanged();
}

void KBlade::writeAdditions(QDataStream& out) const
{
    QByteArray payload;
    {
        QDataStream body(&payload, QIODevice::WriteOnly);
        Binary::prepare(body);
        Binary::writeInt(body, materials()->count());
        for (int i = 0; i < materials()->count(); ++i)
            for (int k = 0; k < KMaterial::StrengthCount; ++k)
                materials()->material(i)->strength(k)->writeBinary(body);
        optSetting()->writeChecks(body);
    }
    out.writeRawData(Tag, 4);
    Binary::writeInt(out, Version);
    Binary::writeInt64(out, payload.size());
    out.writeRawData(payload.constData(), payload.size());
    const QByteArray check = digest(payload);
    out.writeRawData(check.constData(), check.size());
}

bool KBlade::readAdditions(QDataStream& in)
{
    if (in.atEnd())
        return true;
    char tag[4];
    if (in.readRawData(tag, 4) != 4 || std::memcmp(tag, Tag, 4) != 0)
        return false;
    const qint32 version = Binary::readInt(in);
    const qint64 length = Binary::readInt64(in);
    if (in.status() != QDataStream::Ok || version < 1 || version > Version || length < 4
        || length != Binary::remaining(in) - DigestBytes)
        return false;
    QByteArray payload(int(length), Qt::Uninitialized);
    QByteArray check(DigestBytes, Qt::Uninitialized);
    if (in.readRawData(payload.data(), int(length)) != length
        || in.readRawData(check.data(), DigestBytes) != DigestBytes || check != digest(payload))
        return false;

    QDataStream body(payload);
    Binary::prepare(body);
    const qint32 count = Binary::readInt(body);
    if (body.status() != QDataStream::Ok || count != materials()->count())
        return false;
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < KMaterial::StrengthCount; ++k) {
            auto* strength = new Linker(body, materials()->material(i));
            if (body.status() != QDataStream::Ok) {
                delete strength;
                return false;
            }
            materials()->material(i)->setStrength(k, strength);
        }
    }
    if (version >= 2 && !optSetting()->readChecks(body))
        return false;
    return body.atEnd();
}

} // namespace Folvane
