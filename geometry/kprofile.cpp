#include "geometry/kprofile.h"

#include "core/binaryio.h"
#include "core/jsonvalues.h"
#include "core/kfile.h"
#include "core/messages.h"
#include "core/ownedlist.h"
#include "geometry/airfoils.h"
#include "geometry/polyline.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QUrl>
#include <QDir>
#include <algorithm>
#include <cmath>

namespace Folvane {

KPoint::KPoint(QObject* parent)
    : KObject(parent)
{
    setName(QStringLiteral("Point"));
}

KPoint::KPoint(double x, double y, QObject* parent)
    : KPoint(parent)
{
    m_x = x;
    m_y = y;
}

KPoint::KPoint(const QJsonObject& json, QObject* parent)
    : KPoint(jsonNumber(json, "X"), jsonNumber(json, "Y"), parent)
{
}

KPoint::KPoint(QDataStream& in, QObject* parent)
    : KObject(in, parent)
{
    m_x = Binary::readReal(in);
    m_y = Binary::readReal(in);
}

void KPoint::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    Binary::writeReal(out, m_x);
    Binary::writeReal(out, m_y);
}

void KPoint::writeJson(QJsonObject& json) const
{
    json["X"] = m_x;
    json["Y"] = m_y;
}

KProfile::KProfile(QObject* parent)
    : KObject(parent)
{
    setName(QStringLiteral("Profile"));
    initLinkers(0.0, 1.0, 0.0, 0.0, 0.0);
    setDefaultKeysAndMeshes();
    loadPointSet(QStringLiteral("Circle"));
    connectSignals();
}

KProfile::KProfile(const QJsonObject& json, QObject* parent)
    : KObject(json, parent)
{
    setName(jsonText(json, NameKey));
    initLinkers(jsonNumber(json, "Location"), jsonNumber(json, "Chord Length"), jsonNumber(json, "Twist Angle"),
                jsonNumber(json, "x Offset"), jsonNumber(json, "y Offset"));
    const QJsonArray keys = jsonArray(json, "Key Index");
    if (keys.size() == RegionCapacity - 1) {
        for (const QJsonValue& k : keys)
            m_keyInds.append(new Linker(jsonToInt(k), this));
    } else {
        debugLine(QStringLiteral("KProfile - KProfile: Key ind size not correct!"));
    }
    for (const QJsonValue& p : jsonArray(json, "Point"))
        m_points.append(new KPoint(p.toObject(), this));
    auto meshNumbers = [&](const char* key, std::vector<int>& numbers, const char* message) {
        const QJsonArray array = jsonArray(json, key);
        if (array.size() != RegionCapacity) {
            debugLine(QLatin1String(message));
            return;
        }
        for (const QJsonValue& v : array)
            numbers.push_back(jsonToInt(v));
    };
    meshNumbers("Region Mesh Number", m_regMesh, "KProfile - KProfile: regmesh size not correct!");
    meshNumbers("Web Mesh Number", m_webMesh, "KProfile - KProfile: webmesh size not correct!");
    m_radiusMesh = jsonInt(json, "Radius Mesh Number");
    connectSignals();
}

static std::vector<int> readIntVector(QDataStream& in)
{
    std::vector<int> values;
    const quint64 count = Binary::readUInt64(in);
    if (!Binary::fits(in, count, 4))
        return values;
    values.reserve(count);
    for (quint64 i = 0; i < count; ++i)
        values.push_back(Binary::readInt(in));
    return values;
}

static void writeIntVector(QDataStream& out, const std::vector<int>& values)
{
    Binary::writeInt64(out, qint64(values.size()));
    for (int v : values)
        Binary::writeInt(out, v);
}

KProfile::KProfile(QDataStream& in, QObject* parent)
    : KObject(in, parent)
{
    m_loc = new Linker(in, this);
    m_chordLen = new Linker(in, this);
    m_twist = new Linker(in, this);
    m_xOffset = new Linker(in, this);
    m_yOffset = new Linker(in, this);
    const qint32 keys = Binary::readCount(in, Linker::RecordBytes);
    for (qint32 i = 0; i < keys && in.status() == QDataStream::Ok; ++i)
        m_keyInds.append(new Linker(in, this));
    const qint32 points = Binary::readCount(in, KPoint::RecordBytes);
    for (qint32 i = 0; i < points && in.status() == QDataStream::Ok; ++i)
        m_points.append(new KPoint(in, this));
    m_regMesh = readIntVector(in);
    m_webMesh = readIntVector(in);
    m_radiusMesh = Binary::readInt(in);
    connectSignals();
}

void KProfile::initLinkers(double loc, double chord, double twist, double x, double y)
{
    m_loc = new Linker(loc, this);
    m_chordLen = new Linker(chord, this);
    m_twist = new Linker(twist, this);
    m_xOffset = new Linker(x, this);
    m_yOffset = new Linker(y, this);
}

void KProfile::setDefaultKeysAndMeshes()
{
    for (int i = 1; i < RegionCapacity; ++i)
        m_keyInds.append(new Linker(i, this));
    m_regMesh.assign(RegionCapacity, DefaultMeshNumber);
    m_webMesh.assign(RegionCapacity, DefaultMeshNumber);
    m_radiusMesh = DefaultMeshNumber;
}

void KProfile::connectSignals()
{
    connect(this, &KProfile::FpChanged, this, &KProfile::ImportProfile, Qt::UniqueConnection);
}

void KProfile::writeBinary(QDataStream& out) const
{
    KObject::writeBinary(out);
    for (const Linker* l : {m_loc, m_chordLen, m_twist, m_xOffset, m_yOffset})
        l->writeBinary(out);
    Binary::writeInt(out, m_keyInds.size());
    for (const Linker* k : m_keyInds)
        k->writeBinary(out);
    Binary::writeInt(out, m_points.size());
    for (const KPoint* p : m_points)
        p->writeBinary(out);
    writeIntVector(out, m_regMesh);
    writeIntVector(out, m_webMesh);
    Binary::writeInt(out, m_radiusMesh);
}

void KProfile::writeJson(QJsonObject& json) const
{
    json[NameKey] = name();
    json["Location"] = m_loc->value();
    json["Chord Length"] = m_chordLen->value();
    json["Twist Angle"] = m_twist->value();
    json["x Offset"] = m_xOffset->value();
    json["y Offset"] = m_yOffset->value();
    QJsonArray keys;
    for (const Linker* k : m_keyInds)
        keys.append(k->value());
    json["Key Index"] = keys;
    QJsonArray points;
    for (const KPoint* p : m_points) {
        QJsonObject point;
        p->writeJson(point);
        points.append(point);
    }
    json["Point"] = points;
    json["Region Mesh Number"] = QJsonArray::fromVariantList(
        QVariantList(m_regMesh.begin(), m_regMesh.end()));
    json["Web Mesh Number"] = QJsonArray::fromVariantList(
        QVariantList(m_webMesh.begin(), m_webMesh.end()));
    json["Radius Mesh Number"] = m_radiusMesh;
}

void KProfile::setFp(const QString& fp)
{
    const QUrl url(fp, QUrl::TolerantMode);
    m_fp = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : fp;
    emit FpChanged();
}

void KProfile::replacePoints(const Eigen::MatrixXd& xy)
{
    deleteOwned(m_points);
    for (Eigen::Index i = 0; i < xy.rows(); ++i)
        m_points.append(new KPoint(xy(i, 0), xy(i, 1), this));
}

bool KProfile::loadPointSet(const QString& name)
{
    const Eigen::MatrixXd xy = Airfoils::points(name);
    if (xy.rows() == 0)
        return false;
    replacePoints(xy);
    setName(name);
    return true;
}

// The numbers of one line of a point text; false when a field is not a number.
static bool parseRow(const QString& line, QVector<double>& row)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    row.clear();
    for (const QString& field : line.split(blanks, Qt::SkipEmptyParts)) {
        bool ok = false;
        row.append(field.toDouble(&ok));
        if (!ok || !std::isfinite(row.last()))
            return false;
    }
    return true;
}

void KProfile::ImportProfile()
{
    const QString where = QStringLiteral("KProfile::ImportProfile - ");
    QFile file(m_fp);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        debugLine(where + QStringLiteral("cannot open ") + m_fp);
        return;
    }
    QByteArray bytes;
    if (!KFile::readAtMost(file, MaxPointFileBytes, bytes)) {
        debugLine(where + QStringLiteral("file too large: ") + m_fp);
        return;
    }
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    std::vector<QVector<double>> rows;
    QVector<double> row;
    int columns = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        if (!parseRow(lines[i], row)) {
            debugLine(where + QStringLiteral("line %1 is not a point: ").arg(i + 1) + m_fp);
            return;
        }
        if (columns < 0)
            columns = row.size();
        if (columns < 2 || row.size() < columns) {
            debugLine(where + QStringLiteral("line %1 holds fewer than two numbers: ").arg(i + 1) + m_fp);
            return;
        }
        rows.push_back(row);
        if (int(rows.size()) > MaxPointCount) {
            debugLine(where + QStringLiteral("more than %1 points: ").arg(MaxPointCount) + m_fp);
            return;
        }
    }
    // No outline has fewer; the profile keeps its points.
    if (rows.size() < 3) {
        debugLine(where + QStringLiteral("fewer than 3 points: ") + m_fp);
        return;
    }
    Eigen::MatrixXd xy(Eigen::Index(rows.size()), 2);
    for (size_t i = 0; i < rows.size(); ++i)
        xy.row(Eigen::Index(i)) << rows[i][0], rows[i][1];
    replacePoints(xy);
}

void KProfile::ImportFromClipboard(int deli)
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) {
        debugLine(QStringLiteral("KProfile::importFromClipboard - no clipboard available"));
        return;
    }
    importPointText(QGuiApplication::clipboard()->text(), deli);
}

bool KProfile::importPointText(const QString& text, int deli)
{
    static const QString delimiters = QStringLiteral("\t, ;");
    QString blanked = text.left(int(MaxPointFileBytes));
    if (deli >= 0 && deli < delimiters.size())
        blanked.replace(delimiters[deli], QLatin1Char(' '));
    blanked.replace(QLatin1Char('\r'), QLatin1Char(' '));
    // A last line without its line feed does not count.
    QStringList lines = blanked.split(QLatin1Char('\n'));
    lines.removeLast();
    if (lines.size() < 4) {
        debugLine(QStringLiteral("KProfile::importFromClipboard - at least 4 points needed!"));
        return false;
    }
    if (lines.size() > MaxPointCount) {
        debugLine(QStringLiteral("KProfile::importFromClipboard - more than %1 points").arg(MaxPointCount));
        return false;
    }
    Eigen::MatrixXd xy(lines.size(), 2);
    QVector<double> row;
    for (int i = 0; i < lines.size(); ++i) {
        if (!parseRow(lines[i], row) || row.size() < 2) {
            debugLine(QStringLiteral("KProfile::importFromClipboard - line %1 is not a point").arg(i + 1));
            return false;
        }
        xy.row(i) << row[0], row[1];
    }
    replacePoints(xy);
    return true;
}

KPoint* KProfile::ReadPoint(int ind) const
{
    return readOwned(m_points, ind, QStringLiteral("KProfile::ReadPoint - index out of range"));
}

void KProfile::InsertPoint(int ind)
{
    insertOwned(m_points, ind, [this] { return new KPoint(this); },
                QStringLiteral("KProfile - InsertPoint: index not correct!"));
}

void KProfile::RemovePoint(int ind)
{
    removeOwned(m_points, ind, QStringLiteral("KProfile - RemovePoint: index not correct!"));
}

Linker* KProfile::ReadKeyInd(int ind) const
{
    return readOwned(m_keyInds, ind, QStringLiteral("KProfile - ReadKeyInd: index not correct!"));
}

int KProfile::keyPoint(int ind) const
{
    if (ind < 0 || ind >= m_keyInds.size())
        return -1;
    return linkedIndex(m_keyInds[ind]->value() - 1.0);
}

static int readMesh(const std::vector<int>& numbers, int ind, const char* message)
{
    if (ind < 0 || ind >= int(numbers.size())) {
        debugLine(QLatin1String(message));
        return -1;
    }
    return numbers[ind];
}

static void setMesh(std::vector<int>& numbers, int ind, int n, const char* message)
{
    if (ind < 0 || ind >= int(numbers.size())) {
        debugLine(QLatin1String(message));
        return;
    }
    numbers[ind] = n;
}

int KProfile::ReadRegMesh(int ind) const
{
    return readMesh(m_regMesh, ind, "KProfile - ReadRegMesh: index not correct!");
}

int KProfile::ReadWebMesh(int ind) const
{
    return readMesh(m_webMesh, ind, "KProfile - ReadWebMesh: index not correct!");
}

void KProfile::SetRegMesh(int ind, int n)
{
    setMesh(m_regMesh, ind, n, "KProfile - SetRegMesh: index not correct!");
}

void KProfile::SetWebMesh(int ind, int n)
{
    setMesh(m_webMesh, ind, n, "KProfile - SetWebMesh: index not correct!");
}

// A vector of numbers by place keeps its length: the entries after ind move
// up one, a default one comes in at the end.
static void removeNumber(std::vector<int>& numbers, int ind)
{
    if (ind < 0 || ind >= int(numbers.size()))
        return;
    numbers.erase(numbers.begin() + ind);
    numbers.push_back(KProfile::DefaultMeshNumber);
}

void KProfile::removeRegion(int region, int regionCount)
{
    const int key = region + 1 < regionCount ? region : region - 1;
    // The linked value moves to the end as a spare (a view may still hold it).
    if (key >= 0 && key < m_keyInds.size()) {
        Linker* spare = m_keyInds.takeAt(key);
        spare->setValue(RegionCapacity - 1);
        m_keyInds.append(spare);
    }
    removeNumber(m_regMesh, region);
}

void KProfile::removeWeb(int web)
{
    removeNumber(m_webMesh, web);
}

void KProfile::SortKeyInd(int regNum)
{
    if (regNum <= 2)
        return;
    const int count = std::min(regNum - 2, int(m_keyInds.size()));
    // Values that do not evaluate go last, so the order stays strict.
    auto key = [](const Linker* l) {
        const double v = l->value();
        return std::isnan(v) ? std::numeric_limits<double>::infinity() : v;
    };
    std::stable_sort(m_keyInds.begin(), m_keyInds.begin() + count,
                     [&](const Linker* a, const Linker* b) { return key(a) < key(b); });
}

Eigen::MatrixXd KProfile::rawPoints() const
{
    Eigen::MatrixXd xy(m_points.size(), 2);
    for (int i = 0; i < m_points.size(); ++i)
        xy.row(i) << m_points[i]->x(), m_points[i]->y();
    return xy;
}

Eigen::MatrixXd KProfile::placedPoints() const
{
    const double theta = m_twist->value() * 2.0 * std::asin(1.0) / 180.0;
    Eigen::Matrix2d rotation;
    rotation << std::cos(theta), -std::sin(theta), std::sin(theta), std::cos(theta);
    Eigen::MatrixXd placed = (rawPoints() * rotation.transpose()) * m_chordLen->value();
    placed.col(0).array() += m_xOffset->value();
    placed.col(1).array() += m_yOffset->value();
    return placed;
}

Eigen::MatrixXd KProfile::placedPoints3D() const
{
    Eigen::MatrixXd placed(m_points.size(), 3);
    placed.leftCols(2) = placedPoints();
    placed.col(2).setConstant(m_loc->value());
    return placed;
}

Eigen::Vector3d KProfile::referencePoint() const
{
    return Eigen::Vector3d(m_xOffset->value(), m_yOffset->value(), m_loc->value());
}

Eigen::Vector2d KProfile::previewPoint(int ind, int width, int height) const
{
    if (ind < 0 || ind >= m_points.size() || width <= 0 || height <= 0)
        return Eigen::Vector2d::Zero();
    const Eigen::MatrixXd p = placedPoints();
    const Eigen::Vector2d low = p.colwise().minCoeff();
    const Eigen::Vector2d size = p.colwise().maxCoeff().transpose() - low;
    // The aspect test divides the integers, as the preview always has.
    const double scale = double(height / width) >= size.y() / size.x() ? width / size.x() : height / size.y();
    return Eigen::Vector2d((p(ind, 0) - low.x()) * scale, height - (p(ind, 1) - low.y()) * scale);
}

double KProfile::pointX(int ind, int width, int height) const
{
    return previewPoint(ind, width, height).x();
}

double KProfile::pointY(int ind, int width, int height) const
{
    return previewPoint(ind, width, height).y();
}

void KProfile::AutoMesh(double meshSize, int regNum, const std::vector<int>& webStart, const std::vector<int>& webEnd)
{
    if (webStart.size() != webEnd.size()) {
        debugLine(QStringLiteral("KProfile - AutoMesh: web number not correct!"));
        return;
    }
    const Eigen::MatrixXd p = placedPoints();
    const int n = int(p.rows());
    // Boundaries [0, k0, ..., k(R-2), 0]; every key point must lie on the loop.
    std::vector<int> boundaries{0};
    for (int i = 0; i + 1 < regNum; ++i) {
        const int k = keyPoint(i);
        if (k < 0 || k >= n) {
            debugLine(QStringLiteral("KProfile - AutoMesh: key index %1 of %2 not correct!").arg(i + 1).arg(name()));
            return;
        }
        boundaries.push_back(k);
    }
    boundaries.push_back(0);
    if (n == 0 || regNum < 1 || regNum > RegionCapacity || int(webStart.size()) > RegionCapacity) {
        debugLine(QStringLiteral("KProfile - AutoMesh: region or web number not correct!"));
        return;
    }
    m_regMesh.resize(RegionCapacity, DefaultMeshNumber);
    m_webMesh.resize(RegionCapacity, DefaultMeshNumber);
    const std::vector<Eigen::MatrixXd> chains = splitRing(p, boundaries);
    for (int r = 0; r < regNum; ++r)
        m_regMesh[r] = nodeCountFor(polylineLength(chains[r]), meshSize);
    // A web is attached where its region ends: key point k(r), or point 0
    // for the last region.
    for (size_t w = 0; w < webStart.size(); ++w) {
        if (webStart[w] < 0 || webStart[w] >= regNum || webEnd[w] < 0 || webEnd[w] >= regNum)
            continue;
        const int a = boundaries[webStart[w] + 1];
        const int b = boundaries[webEnd[w] + 1];
        m_webMesh[w] = nodeCountFor((p.row(a) - p.row(b)).norm(), meshSize);
    }
}

} // namespace Folvane
