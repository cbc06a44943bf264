#ifndef FOLVANE_KPROFILE_H
#define FOLVANE_KPROFILE_H

#include "core/kobject.h"
#include "core/linker.h"

#include <Eigen/Dense>
#include <QList>
#include <vector>

namespace Folvane {

// One point of a profile loop, in normalised coordinates.
class KPoint : public KObject
{
    Q_OBJECT

public:
    explicit KPoint(QObject* parent = nullptr);
    KPoint(double x, double y, QObject* parent);
    KPoint(const QJsonObject& json, QObject* parent);
    KPoint(QDataStream& in, QObject* parent);

    double x() const { return m_x; }
    double y() const { return m_y; }
    void setX(double x) { m_x = x; }
    void setY(double y) { m_y = y; }

    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

    static constexpr qint64 RecordBytes = 8 + 2 * 8;

private:
    double m_x = 0.0;
    double m_y = 0.0;
};

// An airfoil section placed along the span: a closed loop of points, its
// location, chord, twist and offsets, the key indices that split it into
// regions, and the mesh numbers of its regions, webs and span step.
class KProfile : public KObject
{
    Q_OBJECT
    Q_PROPERTY(Folvane::Linker* Loc READ loc WRITE setLoc NOTIFY LocChanged)
    Q_PROPERTY(Folvane::Linker* ChordLen READ chordLen WRITE setChordLen NOTIFY ChordLenChanged)
    Q_PROPERTY(Folvane::Linker* Twist READ twist WRITE setTwist NOTIFY TwistChanged)
    Q_PROPERTY(Folvane::Linker* XOffset READ xOffset WRITE setXOffset NOTIFY XOffsetChanged)
    Q_PROPERTY(Folvane::Linker* YOffset READ yOffset WRITE setYOffset NOTIFY YOffsetChanged)
    Q_PROPERTY(QString Fp READ fp WRITE setFp NOTIFY FpChanged)
    Q_PROPERTY(unsigned PointNum READ pointNum)

public:
    static constexpr int RegionCapacity = 30;
    static constexpr int DefaultMeshNumber = 10;
    // Point files and clipboard texts beyond this are not profiles.
    static constexpr qint64 MaxPointFileBytes = 64 * 1024 * 1024;
    // Far more than any outline needs; a longer list is damage.
    static constexpr int MaxPointCount = 100000;

    explicit KProfile(QObject* parent = nullptr);
    KProfile(const QJsonObject& json, QObject* parent);
    KProfile(QDataStream& in, QObject* parent);

    Linker* loc() const { return m_loc; }
    void setLoc(Linker* v) { replaceLinker(m_loc, v, this); }
    Linker* chordLen() const { return m_chordLen; }
    void setChordLen(Linker* v) { replaceLinker(m_chordLen, v, this); }
    Linker* twist() const { return m_twist; }
    void setTwist(Linker* v) { replaceLinker(m_twist, v, this); }
    Linker* xOffset() const { return m_xOffset; }
    void setXOffset(Linker* v) { replaceLinker(m_xOffset, v, this); }
    Linker* yOffset() const { return m_yOffset; }
    void setYOffset(Linker* v) { replaceLinker(m_yOffset, v, this); }
    QString fp() const { return m_fp; }
    void setFp(const QString& fp);
    unsigned pointNum() const { return unsigned(m_points.size()); }
    int pointCount() const { return m_points.size(); }

    void connectSignals() override;
    void writeBinary(QDataStream& out) const override;
    void writeJson(QJsonObject& json) const override;

    Q_INVOKABLE void ImportProfile();
    Q_INVOKABLE void SortKeyInd(int regNum);
    Q_INVOKABLE void ImportFromClipboard(int deli);
    Q_INVOKABLE double pointX(int ind, int width, int height) const;
    Q_INVOKABLE double pointY(int ind, int width, int height) const;

    // The clipboard import on a given text; false (with the message) when
    // it holds fewer than 4 rows or a row that is not a point.
    bool importPointText(const QString& text, int deli);
    // Replaces the points by a built-in set and takes its name.
    bool loadPointSet(const QString& name);

    KPoint* ReadPoint(int ind) const;
    void InsertPoint(int ind);
    void RemovePoint(int ind);
    const QList<KPoint*>& points() const { return m_points; }

    Linker* ReadKeyInd(int ind) const;
    int keyIndexCount() const { return m_keyInds.size(); }
    // The point that key index ind designates, or -1 when it has none.
    int keyPoint(int ind) const;

    int ReadRegMesh(int ind) const;
    int ReadWebMesh(int ind) const;
    void SetRegMesh(int ind, int n);
    void SetWebMesh(int ind, int n);
    int radiusMesh() const { return m_radiusMesh; }
    void setRadiusMesh(int n) { m_radiusMesh = n; }
    const std::vector<int>& regionMeshNumbers() const { return m_regMesh; }
    const std::vector<int>& webMeshNumbers() const { return m_webMesh; }

    // What goes with a deleted region (one of regionCount) or web: the
    // region's own boundary (the one where it ends; where it starts for the
    // last region, which ends at point 0) and its mesh number, or the web's
    // mesh number. The others keep theirs, so no region takes over
    // another's strip; the deleted region's strip joins its neighbour.
    void removeRegion(int region, int regionCount);
    void removeWeb(int web);

    void AutoMesh(double meshSize, int regNum, const std::vector<int>& webStart, const std::vector<int>& webEnd);

    // The points rotated by the twist, scaled by the chord and shifted by
    // the offsets (N x 2); with the location as third column (N x 3).
    Eigen::MatrixXd placedPoints() const;
    Eigen::MatrixXd placedPoints3D() const;
    Eigen::Vector3d referencePoint() const;
    Eigen::MatrixXd rawPoints() const;

signals:
    void LocChanged();
    void ChordLenChanged();
    void TwistChanged();
    void XOffsetChanged();
    void YOffsetChanged();
    void FpChanged();

private:
    void initLinkers(double loc, double chord, double twist, double x, double y);
    void setDefaultKeysAndMeshes();
    void replacePoints(const Eigen::MatrixXd& xy);
    Eigen::Vector2d previewPoint(int ind, int width, int height) const;

    QString m_fp;
    Linker* m_loc = nullptr;
    Linker* m_chordLen = nullptr;
    Linker* m_twist = nullptr;
    Linker* m_xOffset = nullptr;
    Linker* m_yOffset = nullptr;
    QList<Linker*> m_keyInds;
    QList<KPoint*> m_points;
    std::vector<int> m_regMesh;
    std::vector<int> m_webMesh;
    int m_radiusMesh = DefaultMeshNumber;
};

} // namespace Folvane

#endif
