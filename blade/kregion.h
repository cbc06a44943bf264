#ifndef FOLVANE_KREGION_H
#define FOLVANE_KREGION_H

#include "core/kobject.h"

#include <Eigen/Dense>
#include <QList>
#include <QPointer>
#include <QSet>
#include <memory>
#include <vector>

namespace Folvane {

class KMaterial;
class KObjectList;
class KPattern;
class KSingleLayer;
class KSingleLayerList;
class Material;
class Model;
class RegionLayup;
struct SonUse;

// What the region layups of one build are made from.
struct LayupInput
{
    Eigen::VectorXd stations;
    Eigen::MatrixXi repetitions;           // stations x single layers
    std::vector<Material*> feMaterials;    // by material index
    Model* model = nullptr;
};

// What the layups of a build read: the single layers that some region or
// web stacks, their patterns and the materials of those patterns' plies.
struct LayupSources
{
    QSet<const KSingleLayer*> layers;
    QSet<const KPattern*> patterns;
    QSet<const KMaterial*> materials;
};

// One strip of the blade surface (or, as KWeb, a shear web): an ordered
// stack of single layers and a shell offset code.
class KRegion : public KObject
{
    Q_OBJECT

public:
    enum Offset { Top = 0, Middle = 1, Bottom = 2 };

    // The kind names the region in messages: "region", or "web" for a web.
    explicit KRegion(QObject* parent, const QString& kind = QStringLiteral("region"));
    KRegion(const QJsonObject& json, QObject* parent, const QString& kind = QStringLiteral("region"));
    KRegion(QDataStream& in, QObject* parent, const QString& kind = QStringLiteral("region"));

    // As messages name it: "region Reg-1-U".
    QString user() const { return m_kind + QLatin1Char(' ') + name(); }
    // The single layers it stacks.
    void addUses(QList<SonUse>& uses) const;

    // Reached through the parent, which is the blade setting for regions
    // and webs alike.
    virtual KSingleLayerList* singleLayerList() const;

    int offset() const { return m_offset; }
    void setOffset(int offset) { m_offset = offset; }

    void InsertLayer(int ind);
    void RemoveLayer(int ind);
    void setLayer(int pos, int singleLayerIndex);
    int layerIndex(int pos) const;
    int layerCount() const;
    KSingleLayer* layer(int pos) const;

    // One section per station interval, from the repetition numbers of the
    // layers at the interval's inboard station, added to the model.
    std::unique_ptr<RegionLayup> genRegionLayup(const LayupInput& input) const;

    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

    static constexpr qint64 RecordBytes = 8 + 4 + 4;

private:
    // Layers whose single layer was deleted are dropped.
    void purgeLayers() const;

    QString m_kind;
    int m_offset = Top;
    mutable QList<QPointer<KSingleLayer>> m_layers;
};

// The layups of every region of a list (the blade setting or the webs), in order.
std::vector<std::unique_ptr<RegionLayup>> genRegionLayups(const KObjectList& regions, const LayupInput& input);

// The sources of the layups of every region of the given lists.
LayupSources layupSources(std::initializer_list<const KObjectList*> regionLists);

} // namespace Folvane

#endif
