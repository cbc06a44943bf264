#include "core/kobject.h"

#include "core/binaryio.h"
#include "core/kobjectlist.h"

namespace Folvane {

const char* const KObject::NameKey = "Name";

KObject::KObject(QObject* parent)
    : QObject(parent)
{
}

KObject::KObject(const QJsonObject&, QObject* parent)
    : QObject(parent)
{
}

KObject::KObject(QDataStream& in, QObject* parent)
    : QObject(parent)
    , m_name(Binary::readString(in))
{
    emit NameChanged();
}

void KObject::setName(const QString& name)
{
    m_name = name;
    emit NameChanged();
}

void KObject::connectSignals() {}

void KObject::writeBinary(QDataStream& out) const
{
    Binary::writeString(out, m_name);
}

void KObject::clearChildren() {}

ParameterList* KObject::parameterList() const
{
    if (auto* list = qobject_cast<KObjectList*>(parent()))
        return list->parameterList();
    if (auto* owner = qobject_cast<KObject*>(parent()))
        return owner->parameterList();
    return nullptr;
}

void KObject::writeJson(QJsonObject&) const {}

} // namespace Folvane
