#ifndef FOLVANE_FEOBJECT_H
#define FOLVANE_FEOBJECT_H

#include "fem/decknames.h"

#include <QString>
#include <array>
#include <vector>

class QDataStream;

namespace Folvane {

class TextBuffer;

// Base of the FE classes there are few of (materials, sections, boundary
// conditions, loads, lists, rows), owned by their lists. Nodes, edges and
// elements, of which there are millions, are plain values in the blocks of
// their lists instead (see NodeList). The owner answers for the model (it
// is the model itself).
class Object
{
public:
    Object(const QString& name, quint64 id, Object* owner = nullptr);
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    // The name a deck gives the object, once the model has named its
    // objects for the decks (Model::nameForDecks).
    const QString& deckName(Deck deck) const { return m_deckNames[size_t(deck)]; }
    void setDeckName(Deck deck, const QString& name) { m_deckNames[size_t(deck)] = name; }
    quint64 id() const { return m_id; }
    void setId(quint64 id) { m_id = id; }
    // Decks and OBJ files number from 1.
    quint64 number() const { return m_id + 1; }
    Object* owner() const { return m_owner; }
    void setOwner(Object* owner) { m_owner = owner; }

    virtual void writeBinary(QDataStream& out) const;
    virtual QString modelName() const;
    // The model's name in the keyword decks (Abaqus's part).
    virtual QString modelDeckName() const;
    // The object's own lines of the three solver decks; nothing here.
    virtual void WriteAnsys(TextBuffer& out) const;
    virtual void WriteCCX(TextBuffer& out) const;
    virtual void WriteSet(TextBuffer& out) const;
    virtual void WriteAbaqus(TextBuffer& out) const;
    virtual void WriteAbaqusSet(TextBuffer& out) const;
    virtual void print() const;
    virtual void writeObj(TextBuffer& out) const;

private:
    QString m_name;
    std::array<QString, 2> m_deckNames;
    quint64 m_id;
    Object* m_owner;
    bool m_active = true;
};

// An owning sequence of FE objects.
class ObjectList : public Object
{
public:
    explicit ObjectList(const QString& name, Object* owner = nullptr);
    ~ObjectList() override;

    void add(Object* object) { m_objects.push_back(object); }
    int count() const { return int(m_objects.size()); }
    Object* at(int i) const { return m_objects[size_t(i)]; }
    void reserve(size_t n) { m_objects.reserve(n); }
    void renumber();
    void clear();

    void writeObj(TextBuffer& out) const override;
    void writeBinary(QDataStream& out) const override;
    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
    void WriteSet(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    void WriteAbaqusSet(TextBuffer& out) const override;

protected:
    std::vector<Object*> m_objects;
};

// A list whose members are all of one class.
template <typename T>
class TypedList : public ObjectList
{
public:
    using ObjectList::ObjectList;
    T* at(int i) const { return static_cast<T*>(m_objects[size_t(i)]); }
    void add(T* object) { ObjectList::add(object); }
};

// A number list of the decks: the numbers separated by ",", 16 on the
// first line and 15 on every later one; a broken line ends with ",".
template <typename Range>
void writeNumberList(TextBuffer& out, const Range& objects);

} // namespace Folvane

#include "core/textbuffer.h"

template <typename Range>
void Folvane::writeNumberList(TextBuffer& out, const Range& objects)
{
    int counter = 0;
    size_t left = objects.size();
    for (const auto* object : objects) {
        out << object->number();
        if (--left > 0)
            out << ',';
        if (++counter > 15) {
            out << '\n';
            counter = 1;
        }
    }
}

#endif
