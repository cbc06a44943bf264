#ifndef FOLVANE_FEMATERIAL_H
#define FOLVANE_FEMATERIAL_H

#include "fem/object.h"

#include <array>

namespace Folvane {

// An FE material: density, price and its parameters as the blade material
// gives them (E, nu for the isotropic kind; E1, E2, E3, G12, G13, G23,
// nu12, nu13, nu23 for engineering constants).
class Material : public Object
{
public:
    enum Type { Isotropic = 0, EngineeringConstants = 1 };

    Type type() const { return m_type; }
    double price() const { return m_price; }
    double density() const { return m_density; }
    const std::vector<double>& parameters() const { return m_parameters; }
    double parameter(int i) const { return i < int(m_parameters.size()) ? m_parameters[size_t(i)] : 0.0; }
    // Ply strengths Xt, Xc, Yt, Yc, S; NaN where not given.
    using Strengths = std::array<double, 5>;
    const Strengths& strengths() const { return m_strengths; }
    void setStrengths(const Strengths& strengths) { m_strengths = strengths; }
    bool hasStrengths() const;

    void writeBinary(QDataStream& out) const override;
    void WriteAbaqus(TextBuffer& out) const override { WriteCCX(out); }

protected:
    // The cards every material opens with: name and density.
    void writeCCXHeader(TextBuffer& out) const;
    void writeAnsysHeader(TextBuffer& out) const;
    void writeAnsysValue(TextBuffer& out, const char* label, double value) const;

    Material(Type type, const QString& name, double density, double price, std::vector<double> parameters,
             Object* owner);

private:
    Type m_type;
    double m_price;
    double m_density;
    std::vector<double> m_parameters;
    Strengths m_strengths;
};

class UniaxMaterial : public Material
{
public:
    UniaxMaterial(const QString& name, double density, double price, std::vector<double> parameters,
                  Object* owner = nullptr);
    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
};

class EngineerMaterial : public Material
{
public:
    EngineerMaterial(const QString& name, double density, double price, std::vector<double> parameters,
                     Object* owner = nullptr);
    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
};

class MaterialList : public TypedList<Material>
{
public:
    explicit MaterialList(Object* owner = nullptr)
        : TypedList<Material>(QStringLiteral("Materials"), owner)
    {
    }
};

} // namespace Folvane

#endif
