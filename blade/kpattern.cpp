#include "blade/kpattern.h"

#include "blade/kmaterial.h"
#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/linkercolumns.h"
#include "core/ownedlist.h"
#include "fem/polylayer.h"

#include <cmath>

namespace Folvane {

KLaminate::KLaminate(KMaterialList* materials, QObject* parent)
    : KObject(parent)
    , m_materials(materials)
    , m_material(static_cast<KMaterial*>(materials->sonOrFirst(0)))
    , m_thick(new Linker(0.0, this))
    , m_angle(new Linker(90.0, this))
{
    setName(QStringLiteral("Laminate"));
}

KLaminate::KLaminate(const QJsonObject& json, KMaterialList* materials, const QString& user, QObject* parent)
    : KObject(json, parent)
    , m_materials(materials)
    , m_material(static_cast<KMaterial*>(materials->ReadSonByName(jsonText(json, "Materials"), user)))
    , m_intPoints(jsonInt(json, "Int Point"))
    , m_thick(new Linker(jsonNumber(json, "Thickness"), this))
    , m_angle(new Linker(jsonNumber(json, "Angle"), this))
{
    setName(QStringLiteral("Laminate"));
}

KLaminate::KLaminate(QDataStream& in, KMaterialList* materials, const QString& user, QObject* parent)
    : KObject(in, parent)
    , m_materials(materials)
{
    m_material = static_cast<KMaterial*>(materials->referredSon(Binary::readInt(in), user));
    m_thick = new Linker(in, this);
    m_intPoints = Binary::readInt(in);
    m_angle = new Linker(in, this);
}

KMaterial* KLaminate::material() const
{
    return m_material ? m_material.data() : static_cast<KMaterial*>(m_materials->sonOrFirst(0));
}

int KLaminate::materialIndex() const
{
    return m_materials->indexOfSon(material());
}

void KLaminate::setMaterialIndex(int ind)
{
    m_material = static_cast<KMaterial*>(m_materials->ReadSon(ind));
}

void KLaminate::addTo(PlyStack& plies, const std::vector<Material*>& feMaterials) const
{
    const int index = materialIndex();
    // A material without FE material (of an unknown type) gives no ply.
    if (index < 0 || index >= int(feMaterials.size()) || !feMaterials[size_t(index)])
        return;
    plies.materials.push_back(feMaterials[size_t(index)]);
    plies.thicknesses.push_back(m_thick->value());
    plies.intPoints.push_back(m_intPoints);
    plies.angles.push_back(m_angle->value());
}

void KLaminate::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeInt(out, materialIndex());
    m_thick->writeBinary(out);
    Binary::writeInt(out, m_intPoints);
    m_angle->writeBinary(out);
}

void KLaminate::writeJson(QJsonObject& json) const
{
    const KMaterial* m = material();
    json["Materials"] = m ? m->name() : QString();
    json["Thickness"] = m_thick->value();
    json["Int Point"] = m_intPoints;
    json["Angle"] = m_angle->value();
}

KPattern::KPattern(KMaterialList* materials, QObject* parent)
    : KObject(parent)
    , m_materials(materials)
{
    setName(QStringLiteral("Pattern"));
    m_plies.append(new KLaminate(materials, this));
}

KPattern::KPattern(const QJsonObject& json, KMaterialList* materials, QObject* parent)
    : KObject(json, parent)
    , m_materials(materials)
{
    setName(jsonText(json, NameKey));
    for (const QJsonValue& ply : jsonArray(json, "Piles"))
        m_plies.append(new KLaminate(ply.toObject(), materials, plyUser(m_plies.size()), this));
}

KPattern::KPattern(QDataStream& in, KMaterialList* materials, QObject* parent)
    : KObject(in, parent)
    , m_materials(materials)
{
    const qint32 plies = Binary::readCount(in, Binary::StringBytes + 8 + 2 * Linker::RecordBytes);
    for (qint32 i = 0; i < plies && in.status() == QDataStream::Ok; ++i)
        m_plies.append(new KLaminate(in, materials, plyUser(i), this));
}

QString KPattern::user() const
{
    return QStringLiteral("pattern ") + name();
}

QString KPattern::plyUser(int ply) const
{
    return user() + QStringLiteral(", ply %1").arg(ply + 1);
}

void KPattern::setLaminates(const QList<KLaminate*>& plies)
{
    deleteOwned(m_plies);
    m_plies = plies;
    for (KLaminate* ply : qAsConst(m_plies))
        ply->setParent(this);
}

void KPattern::InsertLaminate(int ind)
{
    insertOwned(m_plies, ind, [this] { return new KLaminate(m_materials, this); },
                QStringLiteral("KPattern - InsertLaminate: index not correct!"));
}

KLaminate* KPattern::ReadLaminateByInd(int ind) const
{
    return readOwned(m_plies, ind, QStringLiteral("KPattern - ReadLaminateByInd: index not correct!"));
}

void KPattern::RemoveLaminate(int ind)
{
    removeOwned(m_plies, ind, QStringLiteral("KPattern - RemoveLaminate: index not correct!"));
}

void KPattern::plyStack(int n, PlyStack& plies, const std::vector<Material*>& feMaterials) const
{
    if (n < 1)
        return;
    if (m_plies.size() == 1) {
        const size_t before = plies.thicknesses.size();
        m_plies.front()->addTo(plies, feMaterials);
        if (plies.thicknesses.size() > before)
            plies.thicknesses.back() *= n;
        return;
    }
    for (int i = 0; i < n; ++i) {
        for (const KLaminate* ply : m_plies)
            ply->addTo(plies, feMaterials);
    }
}

void KPattern::clearChildren()
{
    deleteOwned(m_plies);
}

void KPattern::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeInt(out, m_plies.size());
    for (const KLaminate* ply : m_plies)
        ply->writeBinary(out);
}

void KPattern::writeJson(QJsonObject& json) const
{
    json[NameKey] = name();
    QJsonArray plies;
    for (const KLaminate* ply : m_plies) {
        QJsonObject object;
        ply->writeJson(object);
        plies.append(object);
    }
    json["Piles"] = plies;
}

KPatternList::KPatternList(KMaterialList* materials, QObject* parent)
    : KObjectList(QStringLiteral("Laminate"), parent)
    , m_materials(materials)
    , m_table(new KPatternTableModel(this))
{
    setUniqueNames(true);
    setSonKind(QStringLiteral("pattern"));
    setTableModel(m_table);
    const struct { const char* name; int material; double thickness; } defaults[] = {
        {"UNIAX", 0, 1.0}, {"TRIAX", 1, 1.0}, {"Core", 2, 5.0}};
    beginResetModel();
    for (const auto& d : defaults) {
        auto* p = new KPattern(materials, this);
        p->setName(QLatin1String(d.name));
        KLaminate* ply = p->ReadLaminateByInd(0);
        ply->setMaterialIndex(d.material);
        ply->thick()->setValue(d.thickness);
        m_sons.append(p);
    }
    endResetModel();
    changeObject(0);
}

KPattern* KPatternList::pattern(int i) const
{
    return son<KPattern>(i);
}

bool KPatternList::changeObject(int ind)
{
    if (ind < 0 || ind >= count()) {
        debugLine(QStringLiteral("KPatternList - changeObject: index out of range!"));
        return false;
    }
    m_table->setCurrent(pattern(ind));
    return true;
}

void KPatternList::InsertNewSon(int ind)
{
    insertSon(ind, [this] { return new KPattern(m_materials, this); });
}

void KPatternList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, Binary::StringBytes + 4, [&] { return new KPattern(in, m_materials, this); });
    changeObject(0);
    endResetModel();
}

QStringList KPatternList::problems(const QSet<const KPattern*>& used) const
{
    QStringList found;
    for (int i = 0; i < count(); ++i) {
        if (!used.contains(pattern(i)))
            continue;
        for (const KLaminate* ply : pattern(i)->laminates()) {
            if (!std::isfinite(ply->thick()->value()) || !std::isfinite(ply->angle()->value())) {
                found << QStringLiteral("a ply of pattern %1 has a value that does not evaluate").arg(pattern(i)->name());
                break;
            }
        }
    }
    return found;
}

void KPatternList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KPattern(json, m_materials, this));
}

void KPatternList::addUses(QList<SonUse>& uses) const
{
    for (int i = 0; i < count(); ++i) {
        for (const KLaminate* ply : pattern(i)->laminates())
            uses.append({ply->material(), pattern(i)->user()});
    }
}

static int choiceOfIntPoints(int n)
{
    switch (n) {
    case 1: return 0;
    case 5: return 2;
    case 7: return 3;
    case 9: return 4;
    default: return 1;
    }
}

static int intPointsOfChoice(int choice)
{
    return choice >= 0 && choice <= 4 ? 2 * choice + 1 : 3;
}

KPatternTableModel::KPatternTableModel(KPatternList* list)
    : KDetailTable(list, {&KPattern::plyCount, &KPattern::InsertLaminate, &KPattern::RemoveLaminate})
{
    using L = KLaminate*;
    setColumns({[this](const QModelIndex& index) { return current()->ReadLaminateByInd(index.row()); },
                {{"mat", [](L ply) { return ply->materialIndex(); },
                  [](L ply, const QVariant& v) { ply->setMaterialIndex(v.toInt()); }},
                 numberColumn("thick", &KLaminate::thick),
                 {"intp", [](L ply) { return choiceOfIntPoints(ply->intPoints()); },
                  [](L ply, const QVariant& v) { ply->setIntPoints(intPointsOfChoice(v.toInt())); }},
                 numberColumn("angle", &KLaminate::angle)}});
}

} // namespace Folvane
