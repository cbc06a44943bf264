#include "geometry/kkeyindlist.h"

#include "geometry/bladelayout.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

namespace Folvane {

KKeyIndList::KKeyIndList(KProfileList* profiles, const BladeLayout* layout, QObject* parent)
    : KObjectList(QStringLiteral("Region Location"), parent)
{
    setTableModel(new KKeyIndTableModel(profiles, layout, this));
}

void KKeyIndList::readBinary(QDataStream&)
{
    beginResetModel();
    changeObject(0);
    endResetModel();
}

void KKeyIndList::writeBinary(QDataStream&) const {}

// A profile loaded without key indices has none to show or take.
static Linker* keyAt(const KProfileList* profiles, const QModelIndex& index)
{
    const KProfile* p = profiles->profile(index.row());
    return index.column() < p->keyIndexCount() ? p->ReadKeyInd(index.column()) : nullptr;
}

KKeyIndTableModel::KKeyIndTableModel(KProfileList* profiles, const BladeLayout* layout, QObject* parent)
    : KObjectTableModel(parent)
    , m_profiles(profiles)
    , m_layout(layout)
{
    // Every grid column is the same column of the table: the key index of
    // one region boundary.
    setColumns({[profiles](const QModelIndex& index) { return keyAt(profiles, index); },
                {{"id", [](Linker* key) { return key ? QVariant::fromValue(key) : QVariant(); },
                  [](Linker* key, const QVariant& v) {
                      if (key)
                          key->setExp(v.toString());
                      return key != nullptr;
                  }}}});
}

int KKeyIndTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_profiles->count();
}

int KKeyIndTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : qMax(m_layout->regionCount() - 1, 0);
}

} // namespace Folvane
