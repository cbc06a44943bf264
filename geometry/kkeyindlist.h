#ifndef FOLVANE_KKEYINDLIST_H
#define FOLVANE_KKEYINDLIST_H

#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"

namespace Folvane {

class BladeLayout;
class KProfileList;

// A view of the key indices of all profiles; they are stored with the
// profiles, the list stores nothing.
class KKeyIndList : public KObjectList
{
    Q_OBJECT

public:
    KKeyIndList(KProfileList* profiles, const BladeLayout* layout, QObject* parent = nullptr);

    void readBinary(QDataStream& in) override;
    void writeBinary(QDataStream& out) const override;
};

// Rows: profiles. Columns: the boundaries between neighbouring regions.
class KKeyIndTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    KKeyIndTableModel(KProfileList* profiles, const BladeLayout* layout, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;

private:
    KProfileList* m_profiles;
    const BladeLayout* m_layout;
};

} // namespace Folvane

#endif
