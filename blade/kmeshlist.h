#ifndef FOLVANE_KMESHLIST_H
#define FOLVANE_KMESHLIST_H

#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"

namespace Folvane {

class KBladeSetting;
class KProfile;
class KProfileList;
class KWebList;

// One table of every mesh number of the blade, read from and written to
// the profiles; the list itself stores nothing.
class KMeshList : public KObjectList
{
    Q_OBJECT

public:
    KMeshList(KProfileList* profiles, KBladeSetting* setting, KWebList* webs, QObject* parent = nullptr);

    void readBinary(QDataStream& in) override;
    void writeBinary(QDataStream& out) const override;
};

// Rows: profiles. Columns: the radius mesh number, then one per region,
// then one per web.
class KMeshTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    KMeshTableModel(KProfileList* profiles, KBladeSetting* setting, KWebList* webs, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;

private:
    struct MeshCell
    {
        KProfile* profile;
        int column;
    };
    int meshNumber(const MeshCell& cell) const;
    void setMeshNumber(const MeshCell& cell, int n);

    KProfileList* m_profiles;
    KBladeSetting* m_setting;
    KWebList* m_webs;
};

} // namespace Folvane

#endif
