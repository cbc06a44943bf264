#include "fem/material.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/binaryio.h"
#include "core/textbuffer.h"

namespace Folvane {

Material::Material(Type type, const QString& name, double density, double price, std::vector<double> parameters,
                   Object* owner)
    : Object(name, 0, owner)
    , m_type(type)
    , m_price(price)
    , m_density(density)
    , m_parameters(std::move(parameters))
{
    m_strengths.fill(std::numeric_limits<double>::quiet_NaN());
}

bool Material::hasStrengths() const
{
    return std::all_of(m_strengths.begin(), m_strengths.end(), [](double s) { return std::isfinite(s) && s > 0.0; });
}

void Material::writeBinary(QDataStream& out) const
{
    Object::writeBinary(out);
    Binary::writeInt(out, m_type);
    Binary::writeReal(out, m_price);
    Binary::writeReal(out, m_density);
    Binary::writeInt64(out, qint64(m_parameters.size()));
    for (double p : m_parameters)
        Binary::writeReal(out, p);
}

void Material::writeCCXHeader(TextBuffer& out) const
{
    out << "\n*MATERIAL,NAME=" << deckName(Deck::Keyword) << "\n*DENSITY\n" << m_density;
}

void Material::writeAnsysHeader(TextBuffer& out) const
{
    out << "\nMAT, " << number() << "\nMPTEMP,,,,,,,,\nMPTEMP,1,0";
    writeAnsysValue(out, "DENS", m_density);
}

void Material::writeAnsysValue(TextBuffer& out, const char* label, double value) const
{
    out << "\nMPDATA," << label << ',' << number() << ",," << value;
}

UniaxMaterial::UniaxMaterial(const QString& name, double density, double price, std::vector<double> parameters,
                             Object* owner)
    : Material(Isotropic, name, density, price, std::move(parameters), owner)
{
}

EngineerMaterial::EngineerMaterial(const QString& name, double density, double price,
                                   std::vector<double> parameters, Object* owner)
    : Material(EngineeringConstants, name, density, price, std::move(parameters), owner)
{
}

void UniaxMaterial::WriteCCX(TextBuffer& out) const
{
    writeCCXHeader(out);
    out << "\n*ELASTIC, TYPE=ISO\n" << parameter(0) << ", " << parameter(1);
}

void UniaxMaterial::WriteAnsys(TextBuffer& out) const
{
    writeAnsysHeader(out);
    writeAnsysValue(out, "EX", parameter(0));
    writeAnsysValue(out, "PRXY", parameter(1));
}

// Parameters: E1, E2, E3, G12, G13, G23, nu12, nu13, nu23.
void EngineerMaterial::WriteCCX(TextBuffer& out) const
{
    writeCCXHeader(out);
    out << "\n*ELASTIC, TYPE=ENGINEERING CONSTANTS\n";
    for (int i : {0, 1, 2, 6, 7, 8, 3})
        out << parameter(i) << ", ";
    out << parameter(4) << '\n' << parameter(5) << ", 0";
}

void EngineerMaterial::WriteAnsys(TextBuffer& out) const
{
    writeAnsysHeader(out);
    const char* labels[] = {"EX", "EY", "EZ", "PRXY", "PRXZ", "PRYZ", "GXY", "GXZ", "GYZ"};
    const int order[] = {0, 1, 2, 6, 7, 8, 3, 4, 5};
    for (int i = 0; i < 9; ++i)
        writeAnsysValue(out, labels[i], parameter(order[i]));
}

} // namespace Folvane
