#ifndef FOLVANE_KBLADE_H
#define FOLVANE_KBLADE_H

#include "blade/kanalysis.h"
#include "core/kfile.h"
#include "geometry/bladelayout.h"
#include "geometry/renderers.h"
#include "solver/ccxanalyser.h"

#include <Eigen/Dense>
#include <QJsonObject>
#include <QVector3D>
#include <memory>

namespace Folvane {

class ElementArray;
struct FEBuild;
class Model;
class NodeArray;

class KBladeSetting;
class KKeyIndList;
class KLayupList;
class KLoadList;
class KMaterialList;
class KMeshList;
class KOptSetting;
class KPatternList;
class KProfileList;
class KSampleSetting;
class KSingleLayerList;
class KWebList;
class ParameterList;

// The blade document: the thirteen lists of the blade definition, the
// analysis settings and (later) the FE model built from them.
class KBlade : public KFile, public BladeLayout
{
    Q_OBJECT
    Q_PROPERTY(Qt3DCore::QComponent* FemEle READ femEle NOTIFY FemEleChanged)
    Q_PROPERTY(Qt3DCore::QComponent* FemEdge READ femEdge NOTIFY FemEdgeChanged)
    Q_PROPERTY(Folvane::KAnalysis* AnaSet READ anaSet NOTIFY AnaSetChanged)
    Q_PROPERTY(double StartLoc READ startLoc NOTIFY BladeLengthChanged)
    Q_PROPERTY(double EndLoc READ endLoc NOTIFY BladeLengthChanged)
    Q_PROPERTY(int LoadNum READ loadNum NOTIFY LoadNumChanged)
    // Of the FE model of the last build; 0 when it failed or none was made.
    Q_PROPERTY(int NodeCount READ nodeCount NOTIFY FEModelChanged)
    // The regions and webs the FE view colours: [{name, color}, ...].
    Q_PROPERTY(QVariantList FemGroups READ femGroups NOTIFY FemEleChanged)
    Q_PROPERTY(int ElementCount READ elementCount NOTIFY FEModelChanged)
    // What the FE view can colour the mesh by now: the model's own data,
    // then the results and modes it has.
    Q_PROPERTY(QStringList ViewQuantities READ viewQuantities NOTIFY ResultsChanged)
    // The shown quantity: {name, low, high, categorical}.
    Q_PROPERTY(QVariantMap ViewLegend READ viewLegend NOTIFY FemEleChanged)
    Q_PROPERTY(QVariantList ScaleStops READ scaleStopList CONSTANT)
    // Whether the model holds the results of a static run.
    Q_PROPERTY(bool HasResults READ hasResults NOTIFY ResultsChanged)

public:
    enum ChildType {
        Parameters = 0, Setting, Profiles, KeyInds, Webs, Materials, Patterns,
        SingleLayers, Layups, Meshs, Loads, OptSet, SampleSet
    };
    Q_ENUM(ChildType)
    static constexpr int ListCount = 13;

    explicit KBlade(QObject* parent = nullptr);
    ~KBlade() override;

    ParameterList* parameters() const;
    KBladeSetting* setting() const;
    KProfileList* profiles() const;
    KKeyIndList* keyInds() const;
    KWebList* webs() const;
    KMaterialList* materials() const;
    KPatternList* patterns() const;
    KSingleLayerList* singleLayers() const;
    KLayupList* layups() const;
    KMeshList* meshs() const;
    KLoadList* loads() const;
    KOptSetting* optSetting() const;
    KSampleSetting* sampleSetting() const;

    KAnalysis* anaSet() const { return m_anaSet; }
    double startLoc() const;
    double endLoc() const;
    int loadNum() const;
    QString bladeName() const;
    // The solver's job name of the next builds; empty (the default): the
    // blade name made safe. A worker names each design's job its own way.
    void setJobName(const QString& job) { m_jobName = job; }

    // What the profiles mesh against: the blade setting's regions and the
    // webs.
    int regionCount() const override;
    QStringList regionNames() const override;
    double meshSize() const override;
    std::vector<LayoutWeb> layoutWebs() const override;

    // The FE model of the last build (null before the first, or after a
    // build that was refused), its station node and element arrays and the
    // span coordinates of the stations.
    Model* feModel() const { return m_model.get(); }
    int nodeCount() const;
    QVariantList femGroups() const;
    int elementCount() const;
    const NodeArray* stationNodes() const { return m_stationNodes.get(); }
    const ElementArray* stationElements() const { return m_stationElements.get(); }
    const Eigen::VectorXd& stationPositions() const { return m_stations; }

    Q_INVOKABLE void genFEModel();
    // The box the views frame, as [xmin, ymin, zmin, xmax, ymax, zmax]: of
    // the profiles as placed, and of the FE model's nodes (empty without a
    // model).
    Q_INVOKABLE QVariantList bladeBounds() const;
    Q_INVOKABLE QVariantList modelBounds() const;
    // The FE view: faces and edges of the model, as renderers that replace
    // the current ones; the replaced ones live until clearOld3DModel.
    Q_INVOKABLE void gen3DModel();
    QStringList viewQuantities() const;
    bool hasResults() const { return m_resultLoadCase >= 0; }
    // The static load case whose results the model holds; -1 for none.
    int resultLoadCase() const { return m_resultLoadCase; }
    QVariantMap viewLegend() const { return m_viewLegend; }
    QVariantList scaleStopList() const;
    // Draws the mesh coloured by a quantity of ViewQuantities, deformed by
    // the results' displacements (or the mode's shape, at 5 % of the
    // model's size) times scale; false when there is no such quantity.
    Q_INVOKABLE bool showQuantity(int index, double scale);
    // The scale that shows the results' largest displacement at about 5 %
    // of the model's size, rounded down to 1, 2 or 5 times a power of ten
    // and at least 1; 1 without results.
    Q_INVOKABLE double autoDeformScale() const;
    // The element (by index) that the ray meets first on the shown mesh; -1
    // for none.
    Q_INVOKABLE int pickElement(const QVector3D& origin, const QVector3D& direction) const;
    // What the results view says of an element on click: its number, region,
    // laminate and the shown quantity, then its plies' results.
    Q_INVOKABLE QStringList elementValues(int element) const;
    Q_INVOKABLE void clearOld3DModel();
    Qt3DCore::QComponent* femEle() const { return m_femEle.current(); }
    Qt3DCore::QComponent* femEdge() const { return m_femEdge.current(); }
    Q_INVOKABLE bool exportMeshObj(QString str);
    // A solver deck of the current FE model: the geometry-only deck for a
    // negative load index, otherwise the full deck of that load case.
    Q_INVOKABLE bool exportAnsysInp(QString str, int loadInd);
    Q_INVOKABLE bool exportAbaqusInp(QString str, int loadInd);
    Q_INVOKABLE bool exportCCXInp(QString str, int loadInd);
    // Replaces the lists by the blade of a windIO file and builds its FE
    // model, printing what it made; false, with the document unchanged and
    // the reason printed, when the file cannot be imported.
    Q_INVOKABLE bool importWindio(QString fp);
    // Adds a load case of a load table's point loads, named after its file.
    Q_INVOKABLE bool importLoadTable(QString fp);
    // Where a save under the name goes: a local path that ends in ".fvm"
    // (in any case), appended when the name has none, so that the open
    // dialog's filter shows the file.
    Q_INVOKABLE static QString modelFilePath(const QString& pathOrUrl);
    Q_INVOKABLE static bool fileExists(const QString& path);

    // Analysis of the built model (none runs from the window). The solver,
    // its program and the work folder come from the analysis settings.
    bool runAnalysis();
    bool runLoadCase(int loadInd);
    // Station tables, one row per station (the segment values on the row
    // of the segment's outer station, 0 on the first row):
    // position, area, volume, price, mass;
    Eigen::MatrixXd stationProperties() const;
    // position and the six mean displacement components of a load case;
    Eigen::MatrixXd stationDeflections(int loadInd) const;
    // position and twist;
    Eigen::MatrixXd stationTwist(int loadInd) const;
    // position, then Sv, S11 ... S23, E11 ... E23 of each segment.
    Eigen::MatrixXd stationStresses(int loadInd) const;
    // Per station (as the result table: row s for the elements between
    // stations s - 1 and s), the largest maximum-stress and Tsai-Wu failure
    // index with the element number and the ply (from 1, the document's
    // order) that give it; NaN where no ply has strengths.
    Eigen::MatrixXd stationFailure(int loadInd) const;
    static constexpr int FailureColumns = 7;
    // Price, mass, def X, def Y, twist, Sv, S11, S22, S33, S12, S13, S23.
    Eigen::VectorXd computeObjectives() const;
    bool checkPriceMass() const;
    // The score of the built design; on failure why says which bound it
    // missed (price and mass, the analysis, or an objective's range).
    bool evaluate(double& fitness, Eigen::VectorXd& results, QString* why = nullptr);
    // The values of the design checks that are optimised, in their order,
    // each from the analysis it needs (the static results of every load case
    // for the failure index); false with what was missing.
    bool evaluateChecks(std::vector<double>& values, QString& why);
    bool exportResults(const QString& fp, int loadInd, QString* error = nullptr) const;
    // The failure table beside the result table: "-" for no index.
    bool exportFailure(const QString& fp, int loadInd, QString* error = nullptr) const;

    // Natural frequencies, or buckling factors of a load case, of the built
    // FE model's first modes, by CalculiX whatever solver the settings name
    // (its program when they name CalculiX); kept with their shapes until
    // the next run or build. False, with the messages, when the run fails.
    bool runModal(int modes);
    bool runBuckling(int loadInd, int modes);
    const EigenModes& eigenModes() const { return m_eigen; }
    // "flapwise" (mostly y), "edgewise" (mostly x), "torsional" (mostly a
    // turn about z) from the stations' mean translations and turns, or
    // "local" when those carry less than half the mode's motion.
    QString modeClass(int mode) const;
    // The station position and the region or web of the node that moves
    // most in a mode.
    std::pair<double, QString> largestMotion(int mode) const;
    bool exportModal(const QString& fp, QString* error = nullptr) const;
    bool exportBuckling(const QString& fp, QString* error = nullptr) const;
    // The built FE model as a ParaView file: its sections, regions and
    // materials, with the results of a load case that was run (loadInd >= 0),
    // or with the shapes of the last modal or buckling run. False, with a
    // message, when there is no model or the file cannot be written.
    bool exportVtk(const QString& fp, int loadInd = -1, QString* error = nullptr) const;
    bool exportModeVtk(const QString& fp, bool buckling, QString* error = nullptr) const;

    // The FE model and what derives from it, lent to an analysis that runs
    // off the main thread: meanwhile the document has no model (its views
    // keep their pictures). Taken back only when the document has neither
    // built another model nor forgotten this one since; false otherwise.
    std::unique_ptr<FEBuild> lendFEBuild();
    bool takeBackFEBuild(std::unique_ptr<FEBuild> build);
    void readOptSettings(QString& optDir, int& population, double& selPortion, double& mutateRate,
                         int& crossoverNum) const;
    void setOptDir(const QString& dir);

    static constexpr int ObjectiveCount = 12;
    static constexpr int ResultCount = 18;

    // The exchange document in memory; reading it replaces every list it
    // names, as loadJson does.
    QJsonObject toJson() const;
    void fromJson(const QJsonObject& json);

    Q_INVOKABLE void newFile() override;
    bool readStream(QDataStream& in) override;
    void writeStream(QDataStream& out) const override;
    ParameterList* parameterList() const override;

public slots:
    bool saveJson(QString fp) override;
    bool loadJson(QString fp) override;

signals:
    void FemEleChanged();
    void FemEdgeChanged();
    void AnaSetChanged();
    void BladeLengthChanged();
    void LoadNumChanged();
    void FEModelChanged();
    void ResultsChanged();
    // A list refused to delete a son in use; the message names its users.
    void removalRefused(const QString& message);

private:
    struct Scratch {};
    // A document without analysis settings, for trial reads.
    explicit KBlade(Scratch);

    void deleteLists();
    // The model and its view go with the document they were built from.
    void forgetFEModel();
    // Every list reads its section in the file's order; false at the first
    // section the stream cannot supply.
    bool readLists(QDataStream& in);
    // Whether any son's name holds a control character.
    bool namesHoldControlCharacters() const;
    // Why the lists an exchange document gives cannot be read (the first
    // fault of their names, with the list's key), or an empty text.
    QString jsonNamesProblem(const QJsonObject& json) const;
    // The thirteen lists with their defaults, linked to one another.
    void makeLists();
    // What this version adds to the model file goes in one block after the
    // lists, written only when the document uses any of it (see README).
    bool hasAdditions() const;
    void writeAdditions(QDataStream& out) const;
    // True when the stream ends where the lists do, or holds one whole,
    // intact block that fits the lists just read.
    bool readAdditions(QDataStream& in);

    template <typename T>
    T* list(ChildType type) const { return static_cast<T*>(m_models.at(type)); }

    // Why the lists cannot be built into a model; empty when they can.
    QStringList buildProblems() const;
    void clearFEModel();
    // The model, with a message on the standard output when there is none.
    Model* builtModel(const char* operation) const;
    template <typename Writer>
    bool exportDeck(const char* operation, const QString& str, int loadInd);
    bool runSolver(int loadInd);
    struct ViewQuantity
    {
        enum Kind { Region, Thickness, Plies, Displacement, VonMises, Strain11, Strain22, Strain12, TsaiWu, Mode };
        Kind kind;
        int mode;
        QString name;
    };
    std::vector<ViewQuantity> viewQuantityList() const;
    // Faces with the colours and edges, moved by the offsets when given.
    void drawMesh(const std::vector<Eigen::Vector3f>& colours, const Eigen::Matrix3Xf* offsets);

    KAnalysis* m_anaSet = nullptr;
    std::unique_ptr<Model> m_model;
    // Declared so that the edges, which share the faces' positions, go first.
    RendererPair m_femEle;
    RendererPair m_femEdge;
    // Of every element (by number) the region or web it belongs to: the
    // position in the regions followed by the webs.
    std::vector<int> m_elementGroups;
    QStringList m_groupNames;
    std::unique_ptr<NodeArray> m_stationNodes;
    std::unique_ptr<ElementArray> m_stationElements;
    Eigen::VectorXd m_stations;
    EigenModes m_eigen;
    // The static load case whose results the model holds; -1 for none.
    int m_resultLoadCase = -1;
    QString m_jobName;
    // What the view shows: per element value, per node offset.
    Eigen::VectorXd m_viewValues;
    Eigen::Matrix3Xf m_viewOffsets;
    QVariantMap m_viewLegend;
    ViewQuantity::Kind m_viewKind = ViewQuantity::Region;
    // Counts builds and forgettings: a lent model that comes back to a
    // count other than its own is out of date.
    quint64 m_feGeneration = 0;
};

} // namespace Folvane

#endif
