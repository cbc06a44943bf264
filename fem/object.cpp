#include "fem/object.h"

#include "core/binaryio.h"
#include "core/messages.h"

namespace Folvane {

Object::Object(const QString& name, quint64 id, Object* owner)
    : m_name(name)
    , m_id(id)
    , m_owner(owner)
{
}

void Object::writeBinary(QDataStream& out) const
{
    Binary::writeString(out, m_name);
    out << m_id;
    Binary::writeFlag(out, m_active);
}

QString Object::modelName() const
{
    return m_owner ? m_owner->modelName() : QString();
}

QString Object::modelDeckName() const
{
    return m_owner ? m_owner->modelDeckName() : QString();
}

void Object::WriteAnsys(TextBuffer&) const {}
void Object::WriteCCX(TextBuffer&) const {}
void Object::WriteSet(TextBuffer&) const {}
void Object::WriteAbaqus(TextBuffer&) const {}
void Object::WriteAbaqusSet(TextBuffer&) const {}

void Object::print() const
{
    outLine(m_name + QLatin1Char(' ') + QString::number(m_id));
}

void Object::writeObj(TextBuffer&) const {}

ObjectList::ObjectList(const QString& name, Object* owner)
    : Object(name, 0, owner)
{
}

ObjectList::~ObjectList()
{
    clear();
}

void ObjectList::renumber()
{
    for (size_t i = 0; i < m_objects.size(); ++i)
        m_objects[i]->setId(i);
}

void ObjectList::clear()
{
    for (Object* o : m_objects)
        delete o;
    m_objects.clear();
}

void ObjectList::writeObj(TextBuffer& out) const
{
    for (const Object* o : m_objects)
        o->writeObj(out);
}

void ObjectList::WriteAnsys(TextBuffer& out) const
{
    for (const Object* o : m_objects)
        o->WriteAnsys(out);
}

void ObjectList::WriteCCX(TextBuffer& out) const
{
    for (const Object* o : m_objects)
        o->WriteCCX(out);
}

void ObjectList::WriteSet(TextBuffer& out) const
{
    for (const Object* o : m_objects)
        o->WriteSet(out);
}

void ObjectList::WriteAbaqus(TextBuffer& out) const
{
    for (const Object* o : m_objects)
        o->WriteAbaqus(out);
}

void ObjectList::WriteAbaqusSet(TextBuffer& out) const
{
    for (const Object* o : m_objects)
        o->WriteAbaqusSet(out);
}

void ObjectList::writeBinary(QDataStream& out) const
{
    out << quint64(m_objects.size());
    for (const Object* o : m_objects)
        o->writeBinary(out);
}

} // namespace Folvane
