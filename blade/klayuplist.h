#ifndef FOLVANE_KLAYUPLIST_H
#define FOLVANE_KLAYUPLIST_H

#include "blade/kregion.h"
#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"

#include <QPointer>

namespace Folvane {

class KBladeSetting;
class KRegionTableModel;
class KWebList;

// A view of the surface regions followed by the webs, whose table edits the
// layer stack of one of them. It owns and stores nothing.
class KLayupList : public KObjectList
{
    Q_OBJECT

public:
    KLayupList(KBladeSetting* setting, KWebList* webs, QObject* parent = nullptr);

    // Row r: region r, or web r - (number of regions).
    KRegion* regionAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void readBinary(QDataStream& in) override;
    void writeBinary(QDataStream& out) const override;
    Q_INVOKABLE bool changeObject(int ind) override;

private:
    KBladeSetting* m_setting;
    KWebList* m_webs;
    KRegionTableModel* m_table;
};

class KRegionTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit KRegionTableModel(QObject* parent);

    KRegion* current() const { return m_current; }
    void setCurrent(KRegion* region);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QPointer<KRegion> m_current;
};

} // namespace Folvane

#endif
