#include "core/linker.h"

#include "core/binaryio.h"
#include "core/kobject.h"
#include "core/parameterlist.h"

#include <cmath>
#include <limits>

namespace Folvane {

Linker::Linker(QObject* parent)
    : QObject(parent)
{
}

Linker::Linker(double value, QObject* parent)
    : QObject(parent)
    , m_exp(QString::number(value, 'g', 6))
{
}

Linker::Linker(QDataStream& in, QObject* parent)
    : QObject(parent)
{
    Binary::readReal(in);
    m_exp = Binary::readString(in);
    m_flag = Binary::readByte(in);
}

double Linker::value() const
{
    // A plain number is its own value; the script engine is only needed
    // for expressions, and most fields hold plain numbers.
    bool isNumber = false;
    const double number = m_exp.toDouble(&isNumber);
    if (isNumber && std::isfinite(number))
        return number;
    const auto* owner = qobject_cast<const KObject*>(parent());
    ParameterList* parameters = owner ? owner->parameterList() : nullptr;
    if (!parameters)
        return std::numeric_limits<double>::quiet_NaN();
    return parameters->evaluate(m_exp);
}

double Linker::currentValue() const
{
    const auto* owner = qobject_cast<const KObject*>(parent());
    if (ParameterList* parameters = owner ? owner->parameterList() : nullptr)
        parameters->resetEngine();
    return value();
}

void Linker::setValue(const double& value)
{
    m_exp = QString::number(value, 'g', 6);
}

void Linker::writeBinary(QDataStream& out) const
{
    Binary::writeReal(out, 0.0);
    Binary::writeString(out, m_exp);
    Binary::writeByte(out, m_flag);
}

void replaceLinker(Linker*& slot, Linker* value, QObject* owner)
{
    if (slot == value)
        return;
    if (slot && slot->parent() == owner)
        delete slot;
    slot = value;
    if (slot)
        slot->setParent(owner);
}

int linkedIndex(double value)
{
    if (!std::isfinite(value))
        return -1;
    return int(qBound(-1.0, std::trunc(value), 2147483647.0));
}

} // namespace Folvane
