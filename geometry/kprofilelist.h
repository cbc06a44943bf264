#ifndef FOLVANE_KPROFILELIST_H
#define FOLVANE_KPROFILELIST_H

#include "geometry/bladelayout.h"
#include "geometry/kprofile.h"
#include "core/kobjectlist.h"
#include "core/kdetailtablemodel.h"
#include "core/kobjecttablemodel.h"

#include "geometry/renderers.h"
#include "geometry/surfacemesher.h"

#include <array>
#include <vector>

namespace Folvane {

class Model;
class KPointTableModel;

// The blade's profiles, kept sorted by location.
class KProfileList : public KObjectList
{
    Q_OBJECT
    Q_PROPERTY(Folvane::KPointTableModel* PointModel READ pointModel NOTIFY PointModelChanged)
    Q_PROPERTY(double StartLoc READ startLoc NOTIFY sonChanged)
    Q_PROPERTY(double EndLoc READ endLoc NOTIFY sonChanged)
    Q_PROPERTY(Qt3DCore::QComponent* Pro3D READ pro3D NOTIFY Pro3DChanged)
    Q_PROPERTY(Qt3DCore::QComponent* KeyLine READ keyLine NOTIFY KeyLineChanged)
    Q_PROPERTY(Qt3DCore::QComponent* WebRender READ webRender NOTIFY WebRenderChanged)

public:
    explicit KProfileList(QObject* parent = nullptr);

    KProfile* profile(int i) const;
    KPointTableModel* pointModel() const { return m_pointModel; }
    double startLoc() const;
    double endLoc() const;

    // The blade the profiles belong to; without it they cannot be meshed.
    void setLayout(const BladeLayout* layout) { m_layout = layout; }
    const BladeLayout* layout() const { return m_layout; }

    void InsertNewSon(int ind) override;
    // The point table never shows a profile that is gone: it moves to the
    // profile that takes the deleted one's place.
    void RemoveSon(int ind) override;
    void readBinary(QDataStream& in) override;
    void readJson(const QJsonObject& json) override;
    void appendSonFromJson(const QJsonObject& json) override;

    Q_INVOKABLE void SortKeyInd();
    Q_INVOKABLE void SortProfiles();
    Q_INVOKABLE void autoMesh();
    Q_INVOKABLE bool changePointModel(int ind);

    // The profile view: outlines, region boundary lines and webs.
    Qt3DCore::QComponent* pro3D() const { return m_pro3D.current(); }
    Qt3DCore::QComponent* keyLine() const { return m_keyLine.current(); }
    Qt3DCore::QComponent* webRender() const { return m_webRender.current(); }
    Q_INVOKABLE void genPro3D();
    Q_INVOKABLE void clearOldPro3D();
    // The renderers of the views, handed to the list that takes this one's
    // place: its views may still show them until they have switched over.
    using ViewRenderers = std::array<std::vector<Qt3DRender::QGeometryRenderer*>, 3>;
    ViewRenderers releaseRenderers();
    void keepAside(const ViewRenderers& renderers);
    // The three index buffers of the profile view, and its positions.
    QByteArray profilePositions() const;
    QByteArray outlineIndices() const;
    QByteArray keyLineIndices() const;
    QByteArray webIndices() const;

    // A mesh cannot have more nodes than this; larger requests are refused.
    static constexpr double MaxMeshNodes = 2.0e7;
    // Beyond this, lengths and spline slopes of the mesh stop being finite.
    static constexpr double MaxCoordinate = 1.0e12;

    // Why the profiles cannot be meshed with the blade's regions and webs;
    // empty when they can.
    QStringList meshProblems() const;
    // The S x 3 mesh stations between the reference points.
    Eigen::MatrixXd meshStations() const;
    // The structured surface mesh of the blade, with its webs, into the
    // model. Webs that cannot be attached are reported and left out.
    SurfaceMesh genFEMesh(Model& model, bool quadDominant) const;

signals:
    void PointModelChanged();
    void Pro3DChanged();
    void KeyLineChanged();
    void WebRenderChanged();

private:
    // Linked values see the parameters of the engine's last refresh: every
    // operation that evaluates them refreshes it first.
    void refreshParameters() const;
    void sortByLocation();
    std::vector<MeshProfile> meshProfiles() const;
    std::vector<MeshWeb> meshWebs(const Eigen::VectorXd& z) const;

    KPointTableModel* m_pointModel;
    // The vertex offset of every profile in the view's positions.
    std::vector<quint32> vertexOffsets() const;
    // The view point at which a region ends: its key point, or point 0 for
    // the last region and for none.
    int boundaryPoint(const KProfile* profile, int region) const;

    const BladeLayout* m_layout = nullptr;
    RendererPair m_pro3D;
    RendererPair m_keyLine;
    RendererPair m_webRender;
};

class KProfileTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit KProfileTableModel(KProfileList* list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

public slots:
    void sortSons();

private:
    KProfileList* m_list;
};

// The points of one profile.
class KPointTableModel : public KDetailTable<KProfile>
{
    Q_OBJECT
    Q_PROPERTY(Folvane::KProfile* Profile READ profile NOTIFY ProfileChanged)

public:
    explicit KPointTableModel(QObject* parent = nullptr);

    KProfile* profile() const { return current(); }
    void setProfile(KProfile* profile);

public slots:
    void copyFromClipBoard(int value);

signals:
    void ProfileChanged();
};

} // namespace Folvane

#endif
