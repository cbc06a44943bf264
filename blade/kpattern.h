#ifndef FOLVANE_KPATTERN_H
#define FOLVANE_KPATTERN_H

#include "core/kdetailtablemodel.h"
#include "core/kobject.h"
#include "core/kobjectlist.h"
#include "core/linker.h"

#include <QPointer>
#include <QSet>
#include <QStringList>
#include <vector>

namespace Folvane {

class KMaterial;
class KMaterialList;
class Material;
struct PlyStack;

// One ply: a material, a thickness, an angle and its integration points.
class KLaminate : public KObject
{
    Q_OBJECT
    Q_PROPERTY(Folvane::Linker* Thick READ thick WRITE setThick NOTIFY ThickChanged)
    Q_PROPERTY(Folvane::Linker* Angle READ angle WRITE setAngle NOTIFY AngleChanged)

public:
    KLaminate(KMaterialList* materials, QObject* parent);
    // The user names the ply in messages about its material reference.
    KLaminate(const QJsonObject& json, KMaterialList* materials, const QString& user, QObject* parent);
    KLaminate(QDataStream& in, KMaterialList* materials, const QString& user, QObject* parent);

    // The ply's material; a deleted one falls back to the first material.
    KMaterial* material() const;
    int materialIndex() const;
    void setMaterialIndex(int ind);
    int intPoints() const { return m_intPoints; }
    void setIntPoints(int n) { m_intPoints = n; }
    Linker* thick() const { return m_thick; }
    void setThick(Linker* v) { replaceLinker(m_thick, v, this); }
    Linker* angle() const { return m_angle; }
    void setAngle(Linker* v) { replaceLinker(m_angle, v, this); }

    // Appends the ply to the stack with the FE material of its material,
    // the evaluated thickness and angle and its integration points.
    void addTo(PlyStack& plies, const std::vector<Material*>& feMaterials) const;

    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

signals:
    void IntPChanged();
    void ThickChanged();
    void AngleChanged();

private:
    KMaterialList* m_materials;
    QPointer<KMaterial> m_material;
    int m_intPoints = 3;
    Linker* m_thick = nullptr;
    Linker* m_angle = nullptr;
};

// A named, ordered stack of plies.
class KPattern : public KObject
{
    Q_OBJECT
    Q_PROPERTY(QList<KLaminate*> Laminates READ laminates WRITE setLaminates NOTIFY LaminatesChanged)

public:
    KPattern(KMaterialList* materials, QObject* parent);
    KPattern(const QJsonObject& json, KMaterialList* materials, QObject* parent);
    KPattern(QDataStream& in, KMaterialList* materials, QObject* parent);

    // As messages name the pattern and its plies (from 1).
    QString user() const;
    QString plyUser(int ply) const;

    QList<KLaminate*> laminates() const { return m_plies; }
    void setLaminates(const QList<KLaminate*>& plies);
    int plyCount() const { return m_plies.size(); }

    void InsertLaminate(int ind);
    KLaminate* ReadLaminateByInd(int ind) const;
    void RemoveLaminate(int ind);

    // The plies of n repetitions: none below 1; a single ply once, n times
    // as thick; otherwise the whole stack n times over.
    void plyStack(int n, PlyStack& plies, const std::vector<Material*>& feMaterials) const;

    void writeBinary(QDataStream& out) const override;
    void clearChildren() override;
    void writeJson(QJsonObject& json) const override;

signals:
    void LaminatesChanged();

private:
    KMaterialList* m_materials;
    QList<KLaminate*> m_plies;
};

class KPatternTableModel;

class KPatternList : public KObjectList
{
    Q_OBJECT

public:
    KPatternList(KMaterialList* materials, QObject* parent = nullptr);

    KPattern* pattern(int i) const;
    KMaterialList* materialList() const { return m_materials; }

    Q_INVOKABLE bool changeObject(int ind) override;
    void InsertNewSon(int ind) override;
    void readBinary(QDataStream& in) override;
    void appendSonFromJson(const QJsonObject& json) override;
    // The materials of the plies.
    void addUses(QList<SonUse>& uses) const override;

    // Plies of the used patterns whose thickness or angle does not
    // evaluate, one text per pattern.
    QStringList problems(const QSet<const KPattern*>& used) const;

private:
    KMaterialList* m_materials;
    KPatternTableModel* m_table;
};

// The plies of the current pattern.
class KPatternTableModel : public KDetailTable<KPattern>
{
    Q_OBJECT

public:
    explicit KPatternTableModel(KPatternList* list);
};

} // namespace Folvane

#endif
