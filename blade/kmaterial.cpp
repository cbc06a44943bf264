#include "blade/kmaterial.h"

#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/linkercolumns.h"
#include "fem/material.h"

#include <algorithm>
#include <cmath>

namespace Folvane {

namespace {

struct DefaultMaterial
{
    const char* name;
    double density;
    double pars[KMaterial::ParameterCount];
};

const DefaultMaterial defaultMaterials[] = {
    {"UD", 1.64e-9, {35000, 11000, 11000, 4000, 4000, 4000, 0.2, 0.2, 0.2}},
    {"TRI", 1.2e-9, {21477, 13530, 12041, 9126, 3670, 3670, 0.49, 0.12, 0.15}},
    {"PU", 8e-11, {10, 10, 10, 0.2, 0.2, 0.2, 0.3, 0.3, 0.3}},
};

} // namespace

const char* const KMaterial::StrengthKeys[StrengthCount] = {"Xt", "Xc", "Yt", "Yc", "S"};

KMaterial::KMaterial(QObject* parent)
    : KObject(parent)
    , m_density(new Linker(1.0, this))
    , m_price(new Linker(1.0, this))
{
    setName(QStringLiteral("Mat"));
    for (Linker*& p : m_pars)
        p = new Linker(0.0, this);
    for (Linker*& s : m_strengths)
        s = new Linker(0.0, this);
}

KMaterial::KMaterial(const QJsonObject& json, QObject* parent)
    : KObject(json, parent)
    , m_type(jsonInt(json, "Type"))
    , m_density(new Linker(jsonNumber(json, "Density"), this))
    , m_price(new Linker(jsonNumber(json, "Price"), this))
{
    setName(jsonText(json, NameKey));
    const QJsonArray data = jsonArray(json, "Data");
    for (int i = 0; i < ParameterCount; ++i)
        m_pars[i] = new Linker(data.at(i).toDouble(0.0), this);
    for (int i = 0; i < StrengthCount; ++i)
        m_strengths[i] = new Linker(jsonNumber(json, StrengthKeys[i]), this);
}

KMaterial::KMaterial(QDataStream& in, QObject* parent)
    : KObject(in, parent)
{
    m_type = Binary::readInt(in);
    m_price = new Linker(in, this);
    m_density = new Linker(in, this);
    for (Linker*& p : m_pars)
        p = new Linker(in, this);
    // Strengths are not in the material's record (older builds read it
    // too); the document's additions block carries them.
    for (Linker*& s : m_strengths)
        s = new Linker(0.0, this);
}

void KMaterial::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeInt(out, m_type);
    m_price->writeBinary(out);
    m_density->writeBinary(out);
    for (const Linker* p : m_pars)
        p->writeBinary(out);
}

void KMaterial::writeJson(QJsonObject& json) const
{
    json[NameKey] = name();
    json["Type"] = m_type;
    json["Price"] = m_price->value();
    json["Density"] = m_density->value();
    QJsonArray data;
    for (const Linker* p : m_pars)
        data.append(p->value());
    json["Data"] = data;
    // Only strengths that are given, so a document without any exports as
    // it always has.
    for (int i = 0; i < StrengthCount; ++i) {
        const double value = m_strengths[i]->value();
        if (std::isfinite(value) && value != 0.0)
            json[StrengthKeys[i]] = value;
    }
}

bool KMaterial::hasStrengths() const
{
    return std::any_of(m_strengths.begin(), m_strengths.end(),
                       [](const Linker* s) { return s->exp() != QLatin1String("0"); });
}

std::vector<const Linker*> KMaterial::usedValues() const
{
    std::vector<const Linker*> values{m_density, m_price};
    const int parameters = m_type == UniMat ? 2 : ParameterCount;
    values.insert(values.end(), m_pars.begin(), m_pars.begin() + parameters);
    return values;
}

KMaterialList::KMaterialList(QObject* parent)
    : KObjectList(QStringLiteral("Material"), parent)
{
    setUniqueNames(true);
    setSonKind(QStringLiteral("material"));
    setTableModel(new KMaterialTableModel(this));
    beginResetModel();
    for (const DefaultMaterial& d : defaultMaterials) {
        auto* m = new KMaterial(this);
        m->setName(QLatin1String(d.name));
        m->density()->setValue(d.density);
        for (int i = 0; i < KMaterial::ParameterCount; ++i)
            m->par(i)->setValue(d.pars[i]);
        m_sons.append(m);
    }
    endResetModel();
}

KMaterial* KMaterialList::material(int i) const
{
    return son<KMaterial>(i);
}

void KMaterialList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, Binary::StringBytes + 4 + 11 * Linker::RecordBytes, [&] { return new KMaterial(in, this); });
    endResetModel();
}

void KMaterialList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KMaterial(json, this));
}

std::vector<Material*> KMaterialList::genFEMaterials(MaterialList& feMaterials,
                                                     const QSet<const KMaterial*>& used) const
{
    std::vector<Material*> byIndex;
    for (int i = 0; i < count(); ++i) {
        const KMaterial* m = material(i);
        // An unused material may hold values that do not evaluate.
        if (!used.contains(m)) {
            byIndex.push_back(nullptr);
            continue;
        }
        std::vector<double> parameters;
        for (int k = 0; k < KMaterial::ParameterCount; ++k)
            parameters.push_back(m->par(k)->value());
        const double density = m->density()->value();
        const double price = m->price()->value();
        Material* fe = nullptr;
        if (m->type() == KMaterial::UniMat)
            fe = new UniaxMaterial(m->name(), density, price, std::move(parameters), feMaterials.owner());
        else if (m->type() == KMaterial::EngMat)
            fe = new EngineerMaterial(m->name(), density, price, std::move(parameters), feMaterials.owner());
        if (fe) {
            // A strength of 0, or one that does not evaluate, is not given.
            Material::Strengths strengths;
            for (int k = 0; k < KMaterial::StrengthCount; ++k) {
                const double value = m->strength(k)->value();
                strengths[size_t(k)] = std::isfinite(value) && value > 0.0 ? value : std::nan("");
            }
            fe->setStrengths(strengths);
            feMaterials.add(fe);
        }
        byIndex.push_back(fe);
    }
    return byIndex;
}

QStringList KMaterialList::problems(const QSet<const KMaterial*>& used) const
{
    QStringList found;
    for (int i = 0; i < count(); ++i) {
        const KMaterial* m = material(i);
        if (!used.contains(m))
            continue;
        const std::vector<const Linker*> values = m->usedValues();
        const bool finite = std::all_of(values.begin(), values.end(),
                                        [](const Linker* v) { return std::isfinite(v->value()); });
        if (!finite)
            found << QStringLiteral("material %1 has a value that does not evaluate").arg(m->name());
        if (m->type() != KMaterial::UniMat && m->type() != KMaterial::EngMat)
            found << QStringLiteral("material %1 has the unknown type %2").arg(m->name()).arg(m->type());
    }
    return found;
}

void KMaterialList::InsertNewSon(int ind)
{
    insertSon(ind, [this] { return new KMaterial(this); });
}

// Linked values are edited through their expression, not here.
static std::vector<TableColumn<KMaterial*>> materialColumns(KMaterialList* list)
{
    std::vector<TableColumn<KMaterial*>> columns{
        {"mat", [](const KMaterial* m) { return m->name(); },
         [list](KMaterial* m, const QVariant& v) { return list->rename(m, v.toString()); }},
        {"type", [](const KMaterial* m) { return m->type(); },
         [](KMaterial* m, const QVariant& v) { m->setType(v.toInt()); }},
        linkerColumn("price", &KMaterial::price),
        linkerColumn("density", &KMaterial::density)};
    for (int i = 0; i < KMaterial::ParameterCount; ++i) {
        columns.push_back({"par" + QByteArray::number(i + 1),
                           [i](const KMaterial* m) { return QVariant::fromValue(m->par(i)); }});
    }
    for (int i = 0; i < KMaterial::StrengthCount; ++i) {
        columns.push_back({QByteArray(KMaterial::StrengthKeys[i]).toLower(),
                           [i](const KMaterial* m) { return QVariant::fromValue(m->strength(i)); }});
    }
    return columns;
}

KMaterialTableModel::KMaterialTableModel(KMaterialList* list)
    : KObjectTableModel(list)
    , m_list(list)
{
    setColumns({[list](const QModelIndex& index) { return list->material(index.row()); }, materialColumns(list)});
}

int KMaterialTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list->count();
}

bool KMaterialTableModel::insertRows(int row, int count, const QModelIndex&)
{
    return insertRowsWith(row, count, m_list->count(), [this](int r) { m_list->InsertNewSon(r); });
}

bool KMaterialTableModel::removeRows(int row, int count, const QModelIndex&)
{
    if (m_list->refusesRemoval(row, count))
        return false;
    return removeRowsWith(row, count, m_list->count(), [this](int r) { m_list->RemoveSon(r); });
}

} // namespace Folvane
