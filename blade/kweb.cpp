#include "blade/kweb.h"

#include "blade/kbladesetting.h"
#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/linkercolumns.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <algorithm>

namespace Folvane {

KWeb::KWeb(KBladeSetting* setting)
    : KRegion(setting, QStringLiteral("web"))
    , m_startProfile(new Linker(0.0, this))
    , m_endProfile(new Linker(1.0, this))
    , m_startRegion(static_cast<KRegion*>(setting->sonOrFirst(0)))
    , m_endRegion(static_cast<KRegion*>(setting->sonOrFirst(setting->count() - 1)))
{
    setName(QStringLiteral("Web"));
    setOffset(Middle);
}

KWeb::KWeb(const QJsonObject& json, KBladeSetting* setting)
    : KRegion(json, setting, QStringLiteral("web"))
    , m_startProfile(new Linker(jsonInt(json, "Start Profile"), this))
    , m_endProfile(new Linker(jsonInt(json, "End Profile"), this))
    , m_startRegion(static_cast<KRegion*>(setting->ReadSonByName(jsonText(json, "Start Region"), user())))
    , m_endRegion(static_cast<KRegion*>(setting->ReadSonByName(jsonText(json, "End Region"), user())))
{
}

KWeb::KWeb(QDataStream& in, KBladeSetting* setting)
    : KRegion(in, setting, QStringLiteral("web"))
{
    m_startRegion = static_cast<KRegion*>(setting->referredSon(Binary::readInt(in), user()));
    m_endRegion = static_cast<KRegion*>(setting->referredSon(Binary::readInt(in), user()));
    m_startProfile = new Linker(in, this);
    m_endProfile = new Linker(in, this);
}

KBladeSetting* KWeb::setting() const
{
    return static_cast<KBladeSetting*>(parent());
}

KRegion* KWeb::regionOrFirst(const QPointer<KRegion>& region) const
{
    return region ? region.data() : static_cast<KRegion*>(setting()->sonOrFirst(0));
}

KRegion* KWeb::startRegion() const
{
    return regionOrFirst(m_startRegion);
}

KRegion* KWeb::endRegion() const
{
    return regionOrFirst(m_endRegion);
}

int KWeb::startRegionIndex() const
{
    return setting()->indexOfSon(startRegion());
}

int KWeb::endRegionIndex() const
{
    return setting()->indexOfSon(endRegion());
}

void KWeb::setStartRegionIndex(int ind)
{
    m_startRegion = static_cast<KRegion*>(setting()->ReadSon(ind));
}

void KWeb::setEndRegionIndex(int ind)
{
    m_endRegion = static_cast<KRegion*>(setting()->ReadSon(ind));
}

std::pair<int, int> KWeb::profileSpan() const
{
    const int a = linkedIndex(m_startProfile->value() - 1.0);
    const int b = linkedIndex(m_endProfile->value() - 1.0);
    return {std::min(a, b), std::max(a, b)};
}

// A number as typed, which a renumbering can change without changing what
// it means.
static bool plainNumber(const Linker* linker)
{
    bool number = false;
    linker->exp().trimmed().toDouble(&number);
    return number;
}

void KWeb::addWebUses(QList<SonUse>& uses, const KObjectList& profiles) const
{
    addUses(uses);
    uses.append({startRegion(), user()});
    uses.append({endRegion(), user()});
    for (const Linker* end : {m_startProfile, m_endProfile}) {
        const int named = linkedIndex(end->value() - 1.0);
        for (int i = plainNumber(end) ? named : 0; i <= named && i < profiles.count(); ++i)
            uses.append({profiles.sons().at(i), user()});
    }
}

void KWeb::profileRemoved(int ind)
{
    for (Linker* end : {m_startProfile, m_endProfile}) {
        if (plainNumber(end) && end->value() > ind + 1)
            end->setValue(end->value() - 1);
    }
}

void KWeb::writeBinary(QDataStream& out) const
{
    KRegion::writeBinary(out);
    Binary::writeInt(out, startRegionIndex());
    Binary::writeInt(out, endRegionIndex());
    m_startProfile->writeBinary(out);
    m_endProfile->writeBinary(out);
}

void KWeb::writeJson(QJsonObject& json) const
{
    KRegion::writeJson(json);
    json["Start Profile"] = m_startProfile->value();
    json["End Profile"] = m_endProfile->value();
    const KRegion* start = startRegion();
    const KRegion* end = endRegion();
    json["Start Region"] = start ? start->name() : QString();
    json["End Region"] = end ? end->name() : QString();
}

KWebList::KWebList(KBladeSetting* setting, QObject* parent)
    : KObjectList(QStringLiteral("Web"), parent)
    , m_setting(setting)
{
    setSonKind(QStringLiteral("web"));
    m_minSonNum = 0;
    setUniqueNames(true);
    if (KProfileList* profiles = setting->profileList())
        connect(profiles, &KObjectList::sonRemoved, this, &KWebList::profileRemoved);
    setTableModel(new KWebTableModel(this));
    const struct { const char* name; int start, end; } defaults[] = {{"Web-1", 0, 4}, {"Web-2", 1, 3}};
    beginResetModel();
    for (const auto& d : defaults) {
        auto* w = new KWeb(setting);
        w->setName(QLatin1String(d.name));
        w->setLayer(0, 4);  // the single layer "Web"
        w->startProfile()->setValue(2);
        w->endProfile()->setValue(5);
        w->setStartRegionIndex(d.start);
        w->setEndRegionIndex(d.end);
        m_sons.append(w);
    }
    endResetModel();
}

KWeb* KWebList::web(int i) const
{
    return son<KWeb>(i);
}

std::vector<int> KWebList::startRegionIndices() const
{
    std::vector<int> indices;
    for (int i = 0; i < count(); ++i)
        indices.push_back(web(i)->startRegionIndex());
    return indices;
}

std::vector<int> KWebList::endRegionIndices() const
{
    std::vector<int> indices;
    for (int i = 0; i < count(); ++i)
        indices.push_back(web(i)->endRegionIndex());
    return indices;
}

void KWebList::InsertNewSon(int ind)
{
    insertSon(ind, [this] { return new KWeb(m_setting); });
}

void KWebList::RemoveSon(int ind)
{
    if (KProfileList* profiles = m_setting->profileList(); profiles && ind >= 0 && ind < count()) {
        for (int i = 0; i < profiles->count(); ++i)
            profiles->profile(i)->removeWeb(ind);
    }
    KObjectList::RemoveSon(ind);
}

void KWebList::profileRemoved(int ind)
{
    for (int i = 0; i < count(); ++i)
        web(i)->profileRemoved(ind);
}

void KWebList::addUses(QList<SonUse>& uses) const
{
    for (int i = 0; i < count(); ++i)
        web(i)->addWebUses(uses, *m_setting->profileList());
}

void KWebList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, KWeb::RecordBytes, [&] { return new KWeb(in, m_setting); });
    endResetModel();
}

void KWebList::appendSonFromJson(const QJsonObject& json)
{
    m_sons.append(new KWeb(json, m_setting));
}

KWebTableModel::KWebTableModel(KWebList* list)
    : KObjectTableModel(list)
    , m_list(list)
{
    using W = KWeb*;
    setColumns({[list](const QModelIndex& index) { return list->web(index.row()); },
                {{"name", [](W w) { return w->name(); },
                  [list](W w, const QVariant& v) {
                      const QString refused = list->rename(w, v.toString());
                      if (refused.isEmpty())
                          emit list->sonChanged();
                      return refused;
                  }},
                 {"offset", [](W w) { return w->offset(); }, [](W w, const QVariant& v) { w->setOffset(v.toInt()); }},
                 linkerColumn("startpro", &KWeb::startProfile),
                 linkerColumn("endpro", &KWeb::endProfile),
                 {"startreg", [](W w) { return w->startRegionIndex(); },
                  [](W w, const QVariant& v) { w->setStartRegionIndex(v.toInt()); }},
                 {"endreg", [](W w) { return w->endRegionIndex(); },
                  [](W w, const QVariant& v) { w->setEndRegionIndex(v.toInt()); }}}});
    // One grid column fewer than roles, as the table has always reported.
    m_columnNum = 5;
}

int KWebTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list->count();
}

bool KWebTableModel::insertRows(int row, int count, const QModelIndex&)
{
    const bool done = insertRowsWith(row, count, m_list->count(), [this](int r) { m_list->InsertNewSon(r); });
    if (done) {
        m_list->updateModel();
        emit m_list->sonChanged();
    }
    return done;
}

bool KWebTableModel::removeRows(int row, int count, const QModelIndex&)
{
    if (m_list->refusesRemoval(row, count))
        return false;
    const bool done = removeRowsWith(row, count, m_list->count(), [this](int r) { m_list->RemoveSon(r); });
    if (done) {
        m_list->updateModel();
        emit m_list->sonChanged();
    }
    return done;
}

} // namespace Folvane
