#ifndef FOLVANE_KWEB_H
#define FOLVANE_KWEB_H

#include "blade/kregion.h"
#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"
#include "core/linker.h"

#include <QPointer>
#include <vector>

namespace Folvane {

class KBladeSetting;

// A shear web: a region that runs from one profile to another between the
// ends of two surface regions. Its parent is the blade setting.
class KWeb : public KRegion
{
    Q_OBJECT

public:
    explicit KWeb(KBladeSetting* setting);
    KWeb(const QJsonObject& json, KBladeSetting* setting);
    KWeb(QDataStream& in, KBladeSetting* setting);

    Linker* startProfile() const { return m_startProfile; }
    Linker* endProfile() const { return m_endProfile; }
    // The attachment regions; a deleted one falls back to the first region.
    KRegion* startRegion() const;
    KRegion* endRegion() const;
    int startRegionIndex() const;
    int endRegionIndex() const;
    void setStartRegionIndex(int ind);
    void setEndRegionIndex(int ind);

    // The profile indices of the span (number - 1, cut toward zero), in
    // increasing order; -1 for a number that does not evaluate.
    std::pair<int, int> profileSpan() const;

    // Everything the web refers to: its single layers, its two regions and
    // the profiles its numbers name (every profile up to one given by an
    // expression, which cannot follow a renumbering).
    void addWebUses(QList<SonUse>& uses, const KObjectList& profiles) const;
    // A profile before the web's ends was deleted: numbers given as plain
    // numbers follow, so the web keeps its profiles.
    void profileRemoved(int ind);

    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

    static constexpr qint64 RecordBytes = KRegion::RecordBytes + 8 + 2 * Linker::RecordBytes;

private:
    KBladeSetting* setting() const;
    KRegion* regionOrFirst(const QPointer<KRegion>& region) const;

    Linker* m_startProfile = nullptr;
    Linker* m_endProfile = nullptr;
    QPointer<KRegion> m_startRegion;
    QPointer<KRegion> m_endRegion;
};

class KWebTableModel;

class KWebList : public KObjectList
{
    Q_OBJECT

public:
    KWebList(KBladeSetting* setting, QObject* parent = nullptr);

    KWeb* web(int i) const;
    KBladeSetting* bladeSetting() const { return m_setting; }
    std::vector<int> startRegionIndices() const;
    std::vector<int> endRegionIndices() const;

    void InsertNewSon(int ind) override;
    // The profiles' mesh numbers of the other webs stay theirs.
    void RemoveSon(int ind) override;
    void readBinary(QDataStream& in) override;
    void appendSonFromJson(const QJsonObject& json) override;
    void addUses(QList<SonUse>& uses) const override;

private:
    void profileRemoved(int ind);

    KBladeSetting* m_setting;
};

class KWebTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit KWebTableModel(KWebList* list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    KWebList* m_list;
};

} // namespace Folvane

#endif
