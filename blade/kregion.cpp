#include "blade/kregion.h"

#include "blade/kbladesetting.h"
#include "blade/kmaterial.h"
#include "blade/kpattern.h"
#include "blade/ksinglelayer.h"
#include "fem/model.h"
#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/messages.h"

namespace Folvane {

KRegion::KRegion(QObject* parent, const QString& kind)
    : KObject(parent)
    , m_kind(kind)
{
    setName(QStringLiteral("Region"));
    if (KSingleLayerList* layers = singleLayerList())
        m_layers.append(static_cast<KSingleLayer*>(layers->sonOrFirst(0)));
    purgeLayers();
}

KRegion::KRegion(const QJsonObject& json, QObject* parent, const QString& kind)
    : KObject(json, parent)
    , m_kind(kind)
    , m_offset(jsonInt(json, "Offset"))
{
    setName(jsonText(json, NameKey));
    KSingleLayerList* layers = singleLayerList();
    for (const QJsonValue& v : jsonArray(json, "Single Layers")) {
        if (layers)
            m_layers.append(static_cast<KSingleLayer*>(layers->ReadSonByName(v.toString(), user())));
    }
    purgeLayers();
}

KRegion::KRegion(QDataStream& in, QObject* parent, const QString& kind)
    : KObject(in, parent)
    , m_kind(kind)
{
    m_offset = Binary::readInt(in);
    const qint32 n = Binary::readCount(in, 4);
    KSingleLayerList* layers = singleLayerList();
    for (qint32 i = 0; i < n; ++i) {
        const qint32 ind = Binary::readInt(in);
        // An index outside the list names no single layer: the entry is dropped.
        if (layers && ind >= 0 && ind < layers->count())
            m_layers.append(layers->layer(ind));
        else if (in.status() == QDataStream::Ok)
            debugLine(QStringLiteral("%1: no single layer number %2; it is left out of the stack").arg(user()).arg(qint64(ind) + 1));
    }
}

void KRegion::addUses(QList<SonUse>& uses) const
{
    for (int k = 0; k < layerCount(); ++k)
        uses.append({layer(k), user()});
}

KSingleLayerList* KRegion::singleLayerList() const
{
    auto* setting = qobject_cast<KBladeSetting*>(parent());
    return setting ? setting->singleLayerList() : nullptr;
}

void KRegion::purgeLayers() const
{
    m_layers.removeAll(QPointer<KSingleLayer>());
}

int KRegion::layerCount() const
{
    purgeLayers();
    return m_layers.size();
}

KSingleLayer* KRegion::layer(int pos) const
{
    purgeLayers();
    return pos >= 0 && pos < m_layers.size() ? m_layers[pos].data() : nullptr;
}

void KRegion::InsertLayer(int ind)
{
    purgeLayers();
    KSingleLayerList* layers = singleLayerList();
    if (ind < 0 || ind > m_layers.size() || !layers || layers->count() == 0) {
        debugLine(QStringLiteral("KRegion - InsertLayer: index not correct!"));
        return;
    }
    m_layers.insert(ind, layers->layer(0));
}

void KRegion::RemoveLayer(int ind)
{
    purgeLayers();
    if (ind < 0 || ind >= m_layers.size()) {
        debugLine(QStringLiteral("KRegion - RemoveLayer: index not correct!"));
        return;
    }
    m_layers.removeAt(ind);
}

void KRegion::setLayer(int pos, int singleLayerIndex)
{
    purgeLayers();
    KSingleLayerList* layers = singleLayerList();
    if (pos < 0 || pos >= m_layers.size() || !layers)
        return;
    if (auto* layer = static_cast<KSingleLayer*>(layers->ReadSon(singleLayerIndex)))
        m_layers[pos] = layer;
}

int KRegion::layerIndex(int pos) const
{
    KSingleLayerList* layers = singleLayerList();
    return layers ? layers->indexOfSon(layer(pos)) : -1;
}

std::unique_ptr<RegionLayup> KRegion::genRegionLayup(const LayupInput& input) const
{
    const Eigen::Index n = input.stations.size();
    auto layup = std::make_unique<RegionLayup>(
        name(), std::vector<double>(input.stations.data(), input.stations.data() + n), input.model);
    KSingleLayerList* layers = singleLayerList();
    std::vector<std::pair<const KPattern*, int>> stack;  // pattern and matrix column of each layer
    for (int k = 0; k < layerCount(); ++k) {
        const int column = layers ? layers->indexOfSon(layer(k)) : -1;
        if (column >= 0 && column < input.repetitions.cols())
            stack.emplace_back(layer(k)->pattern(), column);
    }
    for (Eigen::Index j = 0; j + 1 < n; ++j) {
        PlyStack plies;
        for (const auto& [pattern, column] : stack) {
            if (pattern)
                pattern->plyStack(input.repetitions(j, column), plies, input.feMaterials);
        }
        auto* section = new PolyLayer(name() + QLatin1Char('-') + QString::number(j + 1), std::move(plies), m_offset,
                                      input.model);
        input.model->sections().add(section);
        layup->add(section);
    }
    return layup;
}

std::vector<std::unique_ptr<RegionLayup>> genRegionLayups(const KObjectList& regions, const LayupInput& input)
{
    std::vector<std::unique_ptr<RegionLayup>> layups;
    for (KObject* region : regions.sons())
        layups.push_back(static_cast<KRegion*>(region)->genRegionLayup(input));
    return layups;
}

LayupSources layupSources(std::initializer_list<const KObjectList*> regionLists)
{
    LayupSources sources;
    for (const KObjectList* regions : regionLists) {
        for (const KObject* son : regions->sons()) {
            const auto* region = static_cast<const KRegion*>(son);
            for (int k = 0; k < region->layerCount(); ++k)
                sources.layers.insert(region->layer(k));
        }
    }
    for (const KSingleLayer* layer : qAsConst(sources.layers)) {
        if (const KPattern* pattern = layer->pattern())
            sources.patterns.insert(pattern);
    }
    for (const KPattern* pattern : qAsConst(sources.patterns)) {
        for (const KLaminate* ply : pattern->laminates()) {
            if (const KMaterial* material = ply->material())
                sources.materials.insert(material);
        }
    }
    return sources;
}

void KRegion::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeInt(out, m_offset);
    const int n = layerCount();
    Binary::writeInt(out, n);
    for (int i = 0; i < n; ++i)
        Binary::writeInt(out, layerIndex(i));
}

void KRegion::writeJson(QJsonObject& json) const
{
    json[NameKey] = name();
    json["Offset"] = m_offset;
    QJsonArray names;
    for (int i = 0; i < layerCount(); ++i)
        names.append(layer(i)->name());
    json["Single Layers"] = names;
}

} // namespace Folvane
