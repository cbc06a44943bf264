#include "fem/material.h"

#include "core/binaryio.h"

namespace Folvane {

Material::Material(Type type, const QString& name, double density, double price, std::vector<double> parameters,
                   Object* owner)
    : Object(name, 0, owner)
    , m_type(type)
    , m_price(price)
    , m_density(density)
    , m_parameters(std::move(parameters))
{
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

} // namespace Folvane
