#ifndef FOLVANE_KLAYUPLIST_H
#define FOLVANE_KLAYUPLIST_H

#include "blade/kregion.h"
#include "core/kdetailtablemodel.h"
#include "core/kobjectlist.h"

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

// The layer stack of the current region or web, by single layer index.
class KRegionTableModel : public KDetailTable<KRegion>
{
    Q_OBJECT

public:
    explicit KRegionTableModel(QObject* parent);
};

} // namespace Folvane

#endif
