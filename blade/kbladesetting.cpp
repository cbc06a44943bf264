#include "blade/kbladesetting.h"

#include "blade/kregion.h"
#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/messages.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace Folvane {

KBladeSetting::KBladeSetting(KSingleLayerList* singleLayers, KProfileList* profiles, QObject* parent)
    : KObjectList(QStringLiteral("Blade Setting"), parent)
    , m_singleLayers(singleLayers)
    , m_profiles(profiles)
{
    setSonKind(QStringLiteral("region"));
    m_minSonNum = 2;
    setUniqueNames(true);
    // Layers as indices of the default single layers: 0 "Shell-Triax",
    // 1 "Shell-UD", 2 "Shell-Core", 3 "Spar-UD".
    const struct { const char* name; int layers[3]; } defaults[] = {
        {"Reg-1-U", {0, 2, 1}}, {"Reg-2-U", {0, 3, 1}}, {"Reg-3-U", {0, 2, 1}},
        {"Reg-3-L", {0, 2, 1}}, {"Reg-2-L", {0, 3, 1}}, {"Reg-1-L", {0, 2, 1}}};
    beginResetModel();
    for (const auto& d : defaults) {
        auto* r = new KRegion(this);
        r->setName(QLatin1String(d.name));
        r->InsertLayer(0);
        r->InsertLayer(0);
        for (int i = 0; i < 3; ++i)
            r->setLayer(i, d.layers[i]);
        m_sons.append(r);
    }
    endResetModel();
}

KRegion* KBladeSetting::region(int i) const
{
    return son<KRegion>(i);
}

QString KBladeSetting::meshSizeRefusal(double size) const
{
    if (std::isfinite(size) && size > 0.0)
        return QString();
    return QStringLiteral("a mesh size is a positive number of mm; it stays %1").arg(formatNumber(m_meshSize));
}

void KBladeSetting::setMeshSize(double size)
{
    const QString refusal = meshSizeRefusal(size);
    if (!refusal.isEmpty()) {
        outLine(QStringLiteral("Mesh size %1 refused: ").arg(formatNumber(size)) + refusal);
        return;
    }
    if (size == m_meshSize)
        return;
    m_meshSize = size;
    if (m_profiles)
        m_profiles->autoMesh();
    emit MeshSizeChanged();
}

void KBladeSetting::takeMeshSize(double size, const QString& shown)
{
    if (std::isfinite(size) && size > 0.0) {
        m_meshSize = size;
        return;
    }
    m_meshSize = DefaultMeshSize;
    debugLine(QStringLiteral("Mesh size %1 in the file refused: a mesh size is a positive number of mm; the default %2 is used")
                  .arg(shown, formatNumber(DefaultMeshSize)));
}

void KBladeSetting::RemoveSon(int ind)
{
    if (m_profiles && ind >= 0 && ind < count()) {
        for (int i = 0; i < m_profiles->count(); ++i)
            m_profiles->profile(i)->removeRegion(ind, count());
    }
    KObjectList::RemoveSon(ind);
}

void KBladeSetting::addUses(QList<SonUse>& uses) const
{
    for (int i = 0; i < count(); ++i)
        region(i)->addUses(uses);
}

void KBladeSetting::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    m_bladeName = Binary::readString(in);
    const double size = Binary::readReal(in);
    if (in.status() == QDataStream::Ok)
        takeMeshSize(size, formatNumber(size));
    m_meshBySize = Binary::readFlag(in);
    readSons(in, KRegion::RecordBytes, [&] { return new KRegion(in, this); });
    endResetModel();
}

void KBladeSetting::writeBinary(QDataStream& out) const
{
    Binary::writeString(out, m_bladeName);
    Binary::writeReal(out, m_meshSize);
    Binary::writeFlag(out, m_meshBySize);
    KObjectList::writeBinary(out);
}

void KBladeSetting::clearSons()
{
    for (KObject* s : qAsConst(m_sons))
        delete s;
    m_sons.clear();
}

// A JSON value as the file has it.
static QString shownJson(const QJsonValue& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

void KBladeSetting::readJson(const QJsonObject& json)
{
    beginResetModel();
    clearSons();
    const QJsonObject setting = json.value(name()).toObject();
    m_bladeName = jsonText(setting, "Blade Name");
    const QJsonValue size = setting.value(QLatin1String("Mesh Size"));
    if (size.isUndefined())
        m_meshSize = DefaultMeshSize;
    else
        takeMeshSize(size.toDouble(std::nan("")), shownJson(size));
    for (const QJsonValue& r : jsonSons(json))
        m_sons.append(new KRegion(r.toObject(), this));
    changeObject(0);
    endResetModel();
}

QJsonArray KBladeSetting::jsonSons(const QJsonObject& json) const
{
    return jsonArray(json.value(name()).toObject(), "Regions");
}

void KBladeSetting::writeJson(QJsonObject& json) const
{
    QJsonObject setting;
    setting["Blade Name"] = m_bladeName;
    setting["Mesh Size"] = m_meshSize;
    QJsonArray regions;
    for (const KObject* r : m_sons) {
        QJsonObject object;
        r->writeJson(object);
        regions.append(object);
    }
    setting["Regions"] = regions;
    json[name()] = setting;
}

void KBladeSetting::InsertNewSon(int ind)
{
    if (insertSon(ind, [this] { return new KRegion(this); }))
        emit sonChanged();
}

} // namespace Folvane
