#include "blade/windiobeam.h"

#include "blade/windioblade.h"
#include "blade/windioyaml.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <yaml-cpp/yaml.h>

namespace Folvane::Windio {

namespace {

// Index of the segment [i, i + 1] of an increasing grid that holds s, and
// the fraction of the way along it, held at the ends.
std::pair<size_t, double> locate(const std::vector<double>& grid, double s)
{
    if (grid.size() < 2 || s <= grid.front())
        return {0, 0.0};
    if (s >= grid.back())
        return {grid.size() - 2, 1.0};
    const size_t hi = size_t(std::upper_bound(grid.begin(), grid.end(), s) - grid.begin());
    return {hi - 1, (s - grid[hi - 1]) / (grid[hi] - grid[hi - 1])};
}

template <typename Value>
Value interpolate(const std::vector<double>& grid, const std::vector<Value>& values, double s)
{
    if (values.size() == 1)
        return values.front();
    const auto [i, w] = locate(grid, s);
    return values[i] + w * (values[i + 1] - values[i]);
}

} // namespace

Matrix6 BeamStations::at(double s) const
{
    return matrices.empty() ? Matrix6::Zero() : interpolate(span, matrices, s);
}

Eigen::Vector3d BeamModel::axisAt(double s) const
{
    return axis.empty() ? Eigen::Vector3d::Zero() : interpolate(axisSpan, axis, s);
}

template <typename Measure>
double BeamModel::integrate(double zFrom, double zTo, Measure measure) const
{
    // On the union of the axis's and the stations' grids the axis is straight
    // and the measure linear between neighbours: the trapezoid rule is exact.
    std::vector<double> grid = axisSpan;
    grid.insert(grid.end(), inertia.span.begin(), inertia.span.end());
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());
    double sum = 0.0;
    for (size_t i = 0; i + 1 < grid.size(); ++i) {
        const Eigen::Vector3d a = axisAt(grid[i]), b = axisAt(grid[i + 1]);
        const double t0 = std::clamp((zFrom - a.z()) / (b.z() - a.z()), 0.0, 1.0);
        const double t1 = std::clamp((zTo - a.z()) / (b.z() - a.z()), 0.0, 1.0);
        if (t1 <= t0)
            continue;
        const double s0 = grid[i] + t0 * (grid[i + 1] - grid[i]);
        const double s1 = grid[i] + t1 * (grid[i + 1] - grid[i]);
        sum += (b - a).norm() * (t1 - t0) * 0.5 * (measure(s0) + measure(s1));
    }
    return sum;
}

double BeamModel::mass(double zFrom, double zTo) const
{
    if (!hasMass())
        return 0.0;
    return integrate(zFrom, zTo, [this](double s) { return inertia.at(s)(0, 0); });
}

double BeamModel::length(double zFrom, double zTo) const
{
    return integrate(zFrom, zTo, [](double) { return 1.0; });
}

namespace {

using namespace Yaml;

QString subPath(const QString& path, const char* key)
{
    return path + QLatin1Char('.') + QLatin1String(key);
}

QString indexPath(const QString& path, size_t i)
{
    return path + QStringLiteral("[%1]").arg(i);
}

std::vector<double> numbers(const YAML::Node& node, const QString& path, size_t count)
{
    if (node.IsSequence() && node.size() != count)
        fail(path, QStringLiteral("has %1 entries, %2 expected").arg(node.size()).arg(count), node);
    return Yaml::numbers(node, path);
}

std::vector<double> grid(const YAML::Node& parent, const QString& path)
{
    const YAML::Node node = required(parent, "grid", path);
    const QString here = subPath(path, "grid");
    if (!node.IsSequence() || node.size() < 2)
        fail(here, QStringLiteral("is not a list of two numbers or more"), node);
    checkGridSize(node, here);
    const std::vector<double> span = numbers(node, here, node.size());
    for (size_t i = 0; i < span.size(); ++i)
        if (span[i] < 0.0 || span[i] > 1.0 || (i > 0 && span[i] <= span[i - 1]))
            fail(indexPath(here, i), QStringLiteral("does not increase from 0 to 1"), node[i]);
    return span;
}

// The reference axis as a polyline through every grid point of x, y and z.
void readAxis(const YAML::Node& node, const QString& path, BeamModel& beam)
{
    std::array<Curve, 3> curves;
    const std::array<const char*, 3> keys{"x", "y", "z"};
    for (size_t k = 0; k < 3; ++k) {
        const YAML::Node c = required(node, keys[k], path);
        const QString here = subPath(path, keys[k]);
        curves[k].grid = grid(c, here);
        curves[k].values = numbers(required(c, "values", here), subPath(here, "values"), curves[k].grid.size());
        beam.axisSpan.insert(beam.axisSpan.end(), curves[k].grid.begin(), curves[k].grid.end());
    }
    std::sort(beam.axisSpan.begin(), beam.axisSpan.end());
    beam.axisSpan.erase(std::unique(beam.axisSpan.begin(), beam.axisSpan.end()), beam.axisSpan.end());
    for (double s : beam.axisSpan)
        beam.axis.emplace_back(curves[0].at(s), curves[1].at(s), curves[2].at(s));
    // Mass is placed by height along the span.
    for (size_t i = 1; i < beam.axis.size(); ++i)
        if (beam.axis[i].z() <= beam.axis[i - 1].z())
            fail(subPath(path, "z"), QStringLiteral("does not increase along the span"), node["z"]);
}

void setSymmetric(Matrix6& m, Mask6& given, int i, int j, double value)
{
    m(i, j) = m(j, i) = value;
    given(i, j) = given(j, i) = true;
}

// windIO 1.x: 21 values per station, the upper triangle row by row.
void readUpperTriangles(const YAML::Node& node, const QString& path, BeamStations& stations)
{
    stations.span = grid(node, path);
    const YAML::Node rows = required(node, "values", path);
    const QString here = subPath(path, "values");
    if (!rows.IsSequence() || rows.size() != stations.span.size())
        fail(here, QStringLiteral("does not hold one list per grid point (%1)").arg(stations.span.size()), rows);
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::vector<double> v = numbers(rows[r], indexPath(here, r), 21);
        Matrix6 m;
        size_t k = 0;
        for (int i = 0; i < 6; ++i)
            for (int j = i; j < 6; ++j)
                setSymmetric(m, stations.given, i, j, v[k++]);
        stations.matrices.push_back(m);
    }
}

// windIO 2.0: a list per named term, each on the grid.
struct NamedTerm
{
    const char* key;
    int i, j;
    double sign;
};

std::vector<double> namedValues(const YAML::Node& node, const char* key, const QString& path, size_t count)
{
    const YAML::Node values = optional(node, key);
    return values ? numbers(values, subPath(path, key), count) : std::vector<double>();
}

void readStiffness(const YAML::Node& node, const QString& path, BeamStations& stations)
{
    stations.span = grid(node, path);
    const size_t n = stations.span.size();
    stations.matrices.assign(n, Matrix6::Zero());
    required(node, "K44", path);
    required(node, "K55", path);
    for (int i = 0; i < 6; ++i)
        for (int j = i; j < 6; ++j) {
            const QByteArray key = QStringLiteral("K%1%2").arg(i + 1).arg(j + 1).toLatin1();
            const std::vector<double> values = namedValues(node, key.constData(), path, n);
            for (size_t s = 0; s < values.size(); ++s)
                setSymmetric(stations.matrices[s], stations.given, i, j, values[s]);
        }
}

// Mass per length, its centre's offset and the mass moments, placed as the
// 1.x matrix holds them (the same blade given in both versions agrees).
void readInertia(const YAML::Node& node, const QString& path, BeamStations& stations)
{
    stations.span = grid(node, path);
    const size_t n = stations.span.size();
    stations.matrices.assign(n, Matrix6::Zero());
    required(node, "mass", path);
    const std::vector<double> mass = namedValues(node, "mass", path, n);
    for (size_t s = 0; s < n; ++s) {
        if (mass[s] < 0.0)
            fail(indexPath(subPath(path, "mass"), s), QStringLiteral("is negative"), node["mass"][s]);
        for (int i = 0; i < 3; ++i)
            setSymmetric(stations.matrices[s], stations.given, i, i, mass[s]);
    }
    const std::vector<double> cmX = namedValues(node, "cm_x", path, n);
    const std::vector<double> cmY = namedValues(node, "cm_y", path, n);
    for (size_t s = 0; s < cmX.size(); ++s) {
        setSymmetric(stations.matrices[s], stations.given, 1, 5, mass[s] * cmX[s]);
        setSymmetric(stations.matrices[s], stations.given, 2, 4, -mass[s] * cmX[s]);
    }
    for (size_t s = 0; s < cmY.size(); ++s) {
        setSymmetric(stations.matrices[s], stations.given, 0, 5, -mass[s] * cmY[s]);
        setSymmetric(stations.matrices[s], stations.given, 2, 3, mass[s] * cmY[s]);
    }
    static const NamedTerm moments[] = {
        {"i_edge", 3, 3, 1.0}, {"i_flap", 4, 4, 1.0}, {"i_plr", 5, 5, 1.0}, {"i_cp", 3, 4, -1.0}};
    for (const NamedTerm& term : moments) {
        const std::vector<double> values = namedValues(node, term.key, path, n);
        for (size_t s = 0; s < values.size(); ++s)
            setSymmetric(stations.matrices[s], stations.given, term.i, term.j, term.sign * values[s]);
    }
}

void read(const YAML::Node& blade, int version, BeamModel& beam, bool& present)
{
    const QString bladePath = QStringLiteral("components.blade");
    if (version < 2) {
        const YAML::Node node = optional(optional(blade, "elastic_properties_mb"), "six_x_six");
        if (!(present = bool(node)))
            return;
        const QString path = bladePath + QStringLiteral(".elastic_properties_mb.six_x_six");
        // Its own axis, which the schema requires; the outer shape's otherwise.
        if (const YAML::Node axis = optional(node, "reference_axis"))
            readAxis(axis, subPath(path, "reference_axis"), beam);
        else
            readAxis(required(required(blade, "outer_shape_bem", bladePath), "reference_axis",
                              bladePath + QStringLiteral(".outer_shape_bem")),
                     bladePath + QStringLiteral(".outer_shape_bem.reference_axis"), beam);
        readUpperTriangles(required(node, "stiff_matrix", path), subPath(path, "stiff_matrix"), beam.stiffness);
        if (const YAML::Node inertia = optional(node, "inertia_matrix"))
            readUpperTriangles(inertia, subPath(path, "inertia_matrix"), beam.inertia);
        return;
    }
    const YAML::Node node = optional(optional(blade, "structure"), "elastic_properties");
    if (!(present = bool(node)))
        return;
    const QString path = bladePath + QStringLiteral(".structure.elastic_properties");
    readAxis(required(blade, "reference_axis", bladePath), subPath(bladePath, "reference_axis"), beam);
    readStiffness(required(node, "stiffness_matrix", path), subPath(path, "stiffness_matrix"), beam.stiffness);
    readInertia(required(node, "inertia_matrix", path), subPath(path, "inertia_matrix"), beam.inertia);
}

} // namespace

bool readBeamModel(const YAML::Node& blade, int version, std::optional<BeamModel>& beam, QString& error)
{
    beam.reset();
    BeamModel model;
    bool present = false;
    try {
        read(blade, version, model, present);
    } catch (const ReadError& e) {
        error = e.text;
        return false;
    } catch (const YAML::Exception& e) {
        error = QString::fromStdString(e.msg);
        return false;
    }
    if (present)
        beam = std::move(model);
    return true;
}

} // namespace Folvane::Windio
