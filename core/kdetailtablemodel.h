#ifndef FOLVANE_KDETAILTABLEMODEL_H
#define FOLVANE_KDETAILTABLEMODEL_H

#include "core/kobjecttablemodel.h"

#include <QPointer>

namespace Folvane {

// The parts of the son a list has selected, its current owner: no rows
// while there is none, including after it is deleted.
class KDetailTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

public slots:
    // Owners whose parts keep the order they were given are left alone.
    void sortSons();

protected:
    explicit KDetailTableModel(QObject* parent);

    QObject* currentOwner() const { return m_current; }
    void setCurrentOwner(QObject* owner);

    // Only called while there is a current owner.
    virtual int partCount() const = 0;
    virtual void insertPart(int row) = 0;
    virtual void removePart(int row) = 0;
    virtual bool sortable() const = 0;
    virtual void sortParts() = 0;

private:
    QPointer<QObject> m_current;
};

// The detail table typed on its owner, whose parts it reaches through the
// owner's own members.
template <typename Owner>
class KDetailTable : public KDetailTableModel
{
public:
    struct Parts
    {
        int (Owner::*count)() const;
        void (Owner::*insert)(int);
        void (Owner::*remove)(int);
        void (Owner::*sort)() = nullptr;
    };

    Owner* current() const { return static_cast<Owner*>(currentOwner()); }
    void setCurrent(Owner* owner) { setCurrentOwner(owner); }

protected:
    KDetailTable(QObject* parent, Parts parts)
        : KDetailTableModel(parent)
        , m_parts(parts)
    {
    }

    int partCount() const override { return (current()->*m_parts.count)(); }
    void insertPart(int row) override { (current()->*m_parts.insert)(row); }
    void removePart(int row) override { (current()->*m_parts.remove)(row); }
    bool sortable() const override { return m_parts.sort != nullptr; }
    void sortParts() override { (current()->*m_parts.sort)(); }

private:
    Parts m_parts;
};

} // namespace Folvane

#endif
