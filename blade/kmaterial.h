#ifndef FOLVANE_KMATERIAL_H
#define FOLVANE_KMATERIAL_H

#include "core/kobject.h"
#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"
#include "core/linker.h"

#include <QSet>
#include <QStringList>
#include <array>
#include <vector>

namespace Folvane {

class Material;
class MaterialList;

// A material, isotropic (E, nu in Par1, Par2) or orthotropic by engineering
// constants (E1, E2, E3, G12, G13, G23, nu12, nu13, nu23 in Par1 ... Par9).
class KMaterial : public KObject
{
    Q_OBJECT
    Q_PROPERTY(int Type READ type WRITE setType NOTIFY TypeChanged)
    Q_PROPERTY(Folvane::Linker* Density READ density WRITE setDensity NOTIFY DensityChanged)
    Q_PROPERTY(Folvane::Linker* Price READ price WRITE setPrice NOTIFY PriceChanged)
    Q_PROPERTY(Folvane::Linker* Par1 READ par1 WRITE setPar1 NOTIFY Par1Changed)
    Q_PROPERTY(Folvane::Linker* Par2 READ par2 WRITE setPar2 NOTIFY Par2Changed)
    Q_PROPERTY(Folvane::Linker* Par3 READ par3 WRITE setPar3 NOTIFY Par3Changed)
    Q_PROPERTY(Folvane::Linker* Par4 READ par4 WRITE setPar4 NOTIFY Par4Changed)
    Q_PROPERTY(Folvane::Linker* Par5 READ par5 WRITE setPar5 NOTIFY Par5Changed)
    Q_PROPERTY(Folvane::Linker* Par6 READ par6 WRITE setPar6 NOTIFY Par6Changed)
    Q_PROPERTY(Folvane::Linker* Par7 READ par7 WRITE setPar7 NOTIFY Par7Changed)
    Q_PROPERTY(Folvane::Linker* Par8 READ par8 WRITE setPar8 NOTIFY Par8Changed)
    Q_PROPERTY(Folvane::Linker* Par9 READ par9 WRITE setPar9 NOTIFY Par9Changed)

public:
    enum MatType : int { UniMat = 0, EngMat = 1 };
    Q_ENUM(MatType)
    static constexpr int ParameterCount = 9;
    // Ply strengths in the moduli's unit: along the fibre in tension and
    // compression, across it likewise, and in-plane shear. 0 or empty: not
    // given.
    enum Strength : int { Xt = 0, Xc, Yt, Yc, S };
    static constexpr int StrengthCount = 5;
    static const char* const StrengthKeys[StrengthCount];

    explicit KMaterial(QObject* parent = nullptr);
    KMaterial(const QJsonObject& json, QObject* parent);
    KMaterial(QDataStream& in, QObject* parent);

    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    Linker* density() const { return m_density; }
    void setDensity(Linker* v) { replaceLinker(m_density, v, this); }
    Linker* price() const { return m_price; }
    void setPrice(Linker* v) { replaceLinker(m_price, v, this); }
    Linker* par(int i) const { return m_pars[i]; }
    void setPar(int i, Linker* v) { replaceLinker(m_pars[i], v, this); }
    Linker* par1() const { return m_pars[0]; }
    Linker* par2() const { return m_pars[1]; }
    Linker* par3() const { return m_pars[2]; }
    Linker* par4() const { return m_pars[3]; }
    Linker* par5() const { return m_pars[4]; }
    Linker* par6() const { return m_pars[5]; }
    Linker* par7() const { return m_pars[6]; }
    Linker* par8() const { return m_pars[7]; }
    Linker* par9() const { return m_pars[8]; }
    void setPar1(Linker* v) { setPar(0, v); }
    void setPar2(Linker* v) { setPar(1, v); }
    void setPar3(Linker* v) { setPar(2, v); }
    void setPar4(Linker* v) { setPar(3, v); }
    void setPar5(Linker* v) { setPar(4, v); }
    void setPar6(Linker* v) { setPar(5, v); }
    void setPar7(Linker* v) { setPar(6, v); }
    void setPar8(Linker* v) { setPar(7, v); }
    void setPar9(Linker* v) { setPar(8, v); }
    Linker* strength(int i) const { return m_strengths[i]; }
    void setStrength(int i, Linker* v) { replaceLinker(m_strengths[i], v, this); }
    // Whether any strength is other than the default "0" (even one that
    // reads as not given), so that saving keeps it.
    bool hasStrengths() const;

    // The values the FE material takes from it: density, price and, for
    // the isotropic kind, Par1 and Par2 only.
    std::vector<const Linker*> usedValues() const;

    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

signals:
    void TypeChanged();
    void DensityChanged();
    void PriceChanged();
    void Par1Changed();
    void Par2Changed();
    void Par3Changed();
    void Par4Changed();
    void Par5Changed();
    void Par6Changed();
    void Par7Changed();
    void Par8Changed();
    void Par9Changed();

private:
    int m_type = EngMat;
    Linker* m_density = nullptr;
    Linker* m_price = nullptr;
    std::array<Linker*, ParameterCount> m_pars{};
    std::array<Linker*, StrengthCount> m_strengths{};
};

class KMaterialList : public KObjectList
{
    Q_OBJECT

public:
    explicit KMaterialList(QObject* parent = nullptr);

    KMaterial* material(int i) const;

    void readBinary(QDataStream& in) override;
    void appendSonFromJson(const QJsonObject& json) override;
    void InsertNewSon(int ind) override;

    // The FE materials of the used materials, appended in list order; the
    // result holds the FE material of every material by its index (null for
    // an unused one or an unknown type).
    std::vector<Material*> genFEMaterials(MaterialList& feMaterials, const QSet<const KMaterial*>& used) const;
    // Used values that do not evaluate, and unknown types of used
    // materials, one text each.
    QStringList problems(const QSet<const KMaterial*>& used) const;
};

class KMaterialTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit KMaterialTableModel(KMaterialList* list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    KMaterialList* m_list;
};

} // namespace Folvane

#endif
