#ifndef FOLVANE_KPROFILELIST_H
#define FOLVANE_KPROFILELIST_H

#include "geometry/kprofile.h"
#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"

#include "geometry/surfacemesher.h"

#include <QPointer>

namespace Folvane {

class KBladeSetting;
class Model;
class KPointTableModel;
class KWebList;

// The blade's profiles, kept sorted by location.
class KProfileList : public KObjectList
{
    Q_OBJECT
    Q_PROPERTY(KPointTableModel* PointModel READ pointModel NOTIFY PointModelChanged)
    Q_PROPERTY(double StartLoc READ startLoc NOTIFY sonChanged)
    Q_PROPERTY(double EndLoc READ endLoc NOTIFY sonChanged)

public:
    explicit KProfileList(QObject* parent = nullptr);

    KProfile* profile(int i) const;
    KPointTableModel* pointModel() const { return m_pointModel; }
    double startLoc() const;
    double endLoc() const;

    void setBladeSetting(KBladeSetting* setting) { m_setting = setting; }
    void setWebList(KWebList* webs) { m_webs = webs; }
    KBladeSetting* bladeSetting() const { return m_setting; }
    KWebList* webList() const { return m_webs; }

    void InsertNewSon(int ind) override;
    void readBinary(QDataStream& in) override;
    void readJson(const QJsonObject& json) override;
    void appendSonFromJson(const QJsonObject& json) override;

    Q_INVOKABLE void SortKeyInd();
    Q_INVOKABLE void SortProfiles();
    Q_INVOKABLE void autoMesh();
    Q_INVOKABLE bool changePointModel(int ind);

    // A mesh cannot have more nodes than this; larger requests are refused.
    static constexpr double MaxMeshNodes = 2.0e7;

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

private:
    void sortByLocation();
    std::vector<MeshProfile> meshProfiles() const;
    std::vector<MeshWeb> meshWebs(const Eigen::VectorXd& z) const;

    KPointTableModel* m_pointModel;
    KBladeSetting* m_setting = nullptr;
    KWebList* m_webs = nullptr;
};

class KProfileTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit KProfileTableModel(KProfileList* list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    QHash<int, QByteArray> roleNames() const override;

public slots:
    void sortSons();

private:
    KProfileList* m_list;
};

// The points of one profile.
class KPointTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit KPointTableModel(QObject* parent = nullptr);

    KProfile* profile() const { return m_profile; }
    void setProfile(KProfile* profile);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    QHash<int, QByteArray> roleNames() const override;

public slots:
    void copyFromClipBoard(int value);

private:
    QPointer<KProfile> m_profile;
};

} // namespace Folvane

#endif
