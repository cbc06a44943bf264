#ifndef FOLVANE_KBLADESETTING_H
#define FOLVANE_KBLADESETTING_H

#include "core/kobjectlist.h"

namespace Folvane {

class KProfileList;
class KRegion;
class KSingleLayerList;

// The blade's name, its mesh size and the surface regions, in order around
// the profile.
class KBladeSetting : public KObjectList
{
    Q_OBJECT
    Q_PROPERTY(QString BladeName READ bladeName WRITE setBladeName NOTIFY BladeNameChanged)
    Q_PROPERTY(double MeshSize READ meshSize WRITE setMeshSize NOTIFY MeshSizeChanged)

public:
    KBladeSetting(KSingleLayerList* singleLayers, KProfileList* profiles, QObject* parent = nullptr);

    KRegion* region(int i) const;
    QString bladeName() const { return m_bladeName; }
    void setBladeName(const QString& name) { m_bladeName = name; }
    double meshSize() const { return m_meshSize; }
    // A new mesh size re-meshes the profiles at once, so the next build
    // uses it; one that is not a positive number is refused, with a
    // message, and the size stays.
    void setMeshSize(double size);
    // Why a mesh size is refused; empty when it is taken.
    Q_INVOKABLE QString meshSizeRefusal(double size) const;
    bool meshBySize() const { return m_meshBySize; }
    void setMeshBySize(bool bySize) { m_meshBySize = bySize; }
    KSingleLayerList* singleLayerList() const { return m_singleLayers; }
    KProfileList* profileList() const { return m_profiles; }

    void readBinary(QDataStream& in) override;
    void writeBinary(QDataStream& out) const override;
    void clearSons() override;
    void readJson(const QJsonObject& json) override;
    QJsonArray jsonSons(const QJsonObject& json) const override;
    void writeJson(QJsonObject& json) const override;
    void InsertNewSon(int ind) override;
    // The regions either side keep their strips on every profile: the
    // region's boundary and mesh number go with it.
    void RemoveSon(int ind) override;
    // The single layers the regions stack.
    void addUses(QList<SonUse>& uses) const override;

    static constexpr double DefaultMeshSize = 300.0;

signals:
    void BladeNameChanged();
    void MeshSizeChanged();
    void regionChanged();

private:
    // A size read from a file: one that is refused is reported and the
    // default stands in.
    void takeMeshSize(double size, const QString& shown);

    KSingleLayerList* m_singleLayers;
    KProfileList* m_profiles;
    QString m_bladeName = QStringLiteral("NewBlade");
    double m_meshSize = DefaultMeshSize;
    bool m_meshBySize = true;
};

} // namespace Folvane

#endif
