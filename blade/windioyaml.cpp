#include "blade/windioyaml.h"

#include <algorithm>
#include <cmath>

namespace Folvane::Windio::Yaml {

QString where(const YAML::Node& node)
{
    const YAML::Mark mark = node.Mark();
    if (mark.line < 0)
        return QString();
    return QStringLiteral(" (line %1, column %2)").arg(mark.line + 1).arg(mark.column + 1);
}

[[noreturn]] void fail(const QString& path, const QString& problem, const YAML::Node& at)
{
    throw ReadError{path + QStringLiteral(": ") + problem + where(at)};
}

// A key that must be there; its parent's position is the best clue when
// it is missing.
YAML::Node required(const YAML::Node& parent, const char* key, const QString& path)
{
    if (!parent.IsMap())
        fail(path, QStringLiteral("is not a mapping"), parent);
    YAML::Node child = parent[key];
    if (!child.IsDefined() || child.IsNull())
        fail(path, QStringLiteral("the key '%1' is missing").arg(QLatin1String(key)), parent);
    return child;
}

YAML::Node optional(const YAML::Node& parent, const char* key)
{
    const YAML::Node absent(YAML::NodeType::Undefined);
    if (!parent.IsMap())
        return absent;
    YAML::Node child = parent[key];
    return child.IsDefined() && !child.IsNull() ? child : absent;
}

QString text(const YAML::Node& node, const QString& path)
{
    if (!node.IsScalar())
        fail(path, QStringLiteral("is not a text"), node);
    return QString::fromStdString(node.Scalar());
}

double number(const YAML::Node& node, const QString& path)
{
    double value = 0.0;
    if (!node.IsScalar() || !YAML::convert<double>::decode(node, value))
        fail(path, QStringLiteral("is not a number"), node);
    if (!std::isfinite(value))
        fail(path, QStringLiteral("is not a finite number"), node);
    return value;
}

std::vector<double> numbers(const YAML::Node& node, const QString& path)
{
    if (!node.IsSequence())
        fail(path, QStringLiteral("is not a list of numbers"), node);
    std::vector<double> out;
    out.reserve(node.size());
    for (size_t i = 0; i < node.size(); ++i)
        out.push_back(number(node[i], path + QStringLiteral("[%1]").arg(i)));
    return out;
}

std::vector<double> numberOrList(const YAML::Node& node, const QString& path)
{
    if (node.IsSequence())
        return numbers(node, path);
    return {number(node, path)};
}

void checkGridSize(const YAML::Node& node, const QString& path)
{
    if (node.IsSequence() && node.size() > MaxGridPoints)
        fail(path,
             QStringLiteral("holds %1 points, more than the %2 a grid may have").arg(node.size()).arg(MaxGridPoints),
             node);
}

void checkGrid(const std::vector<double>& grid, const YAML::Node& node, const QString& path)
{
    for (size_t i = 0; i < grid.size(); ++i) {
        if (grid[i] < 0.0 || grid[i] > 1.0)
            fail(path + QStringLiteral("[%1]").arg(i), QStringLiteral("lies outside 0 to 1"), node[i]);
        // One repeat is a step; anything else that does not increase is a fault.
        if (i > 0 && (grid[i] < grid[i - 1] || (i > 1 && grid[i] == grid[i - 1] && grid[i - 1] == grid[i - 2])))
            fail(path + QStringLiteral("[%1]").arg(i), QStringLiteral("does not increase"), node[i]);
    }
}

Curve curve(const YAML::Node& node, const QString& path)
{
    const YAML::Node gridNode = required(node, "grid", path);
    const YAML::Node valueNode = required(node, "values", path);
    checkGridSize(gridNode, path + QStringLiteral(".grid"));
    Curve c;
    c.grid = numbers(gridNode, path + QStringLiteral(".grid"));
    c.values = numbers(valueNode, path + QStringLiteral(".values"));
    if (c.grid.empty())
        fail(path + QStringLiteral(".grid"), QStringLiteral("is empty"), gridNode);
    if (c.grid.size() != c.values.size())
        fail(path, QStringLiteral("its grid has %1 entries and its values %2").arg(c.grid.size()).arg(c.values.size()),
             valueNode);
    checkGrid(c.grid, gridNode, path + QStringLiteral(".grid"));
    return c;
}

Curve optionalCurve(const YAML::Node& parent, const char* key, const QString& path)
{
    const YAML::Node node = optional(parent, key);
    return node ? curve(node, path + QLatin1Char('.') + QLatin1String(key)) : Curve();
}


void checkArcs(const Curve& arc, const YAML::Node& node, const QString& path)
{
    for (size_t i = 0; i < arc.values.size(); ++i)
        if (arc.values[i] < 0.0 || arc.values[i] > 1.0)
            fail(path + QStringLiteral(".values[%1]").arg(i), QStringLiteral("lies outside 0 to 1"),
                 node["values"][i]);
}

Curve chord(const YAML::Node& node, const QString& path)
{
    Curve c = curve(node, path);
    // Sizes beyond a kilometre are damage, not a blade.
    for (size_t i = 0; i < c.values.size(); ++i)
        if (c.values[i] <= 0.0 || c.values[i] > MaxLength)
            fail(path + QStringLiteral(".values[%1]").arg(i),
                 QStringLiteral("is not above 0 and at most %1 m").arg(MaxLength), node["values"][i]);
    return c;
}

void readReferenceAxis(const YAML::Node& axis, const QString& path, Blade& blade)
{
    blade.referenceX = curve(required(axis, "x", path), path + QStringLiteral(".x"));
    blade.referenceY = curve(required(axis, "y", path), path + QStringLiteral(".y"));
    blade.referenceZ = curve(required(axis, "z", path), path + QStringLiteral(".z"));
    for (auto [c, key] : {std::pair{&blade.referenceX, "x"}, {&blade.referenceY, "y"}, {&blade.referenceZ, "z"}})
        for (size_t i = 0; i < c->values.size(); ++i)
            if (std::abs(c->values[i]) > MaxLength)
                fail(path + QLatin1Char('.') + QLatin1String(key) + QStringLiteral(".values[%1]").arg(i),
                     QStringLiteral("lies more than %1 m from the root").arg(MaxLength), axis[key]["values"][i]);
    for (size_t i = 1; i < blade.referenceZ.values.size(); ++i)
        if (blade.referenceZ.values[i] <= blade.referenceZ.values[i - 1])
            fail(path + QStringLiteral(".z.values[%1]").arg(i), QStringLiteral("does not increase"),
                 axis["z"]["values"][i]);
}

Curve thickness(const YAML::Node& node, const QString& path)
{
    Curve t = curve(node, path);
    for (size_t k = 0; k < t.values.size(); ++k)
        // Below a nanometre a negative thickness is a zero that rounding
        // wrote (NREL 5 MW's file has -1.4e-20).
        if (t.values[k] < 0.0 && t.values[k] > -1e-9)
            t.values[k] = 0.0;
        else if (t.values[k] < 0.0)
            fail(path + QStringLiteral(".values[%1]").arg(k), QStringLiteral("is negative"), node["values"][k]);
        else if (t.values[k] > MaxThickness)
            fail(path + QStringLiteral(".values[%1]").arg(k), QStringLiteral("is more than %1 m").arg(MaxThickness),
                 node["values"][k]);
    return t;
}

void readAirfoils(const YAML::Node& root, Blade& blade, const char* thicknessKey,
                  const std::function<QString(int)>& labelPath)
{
    const YAML::Node airfoils = required(root, "airfoils", QStringLiteral("the file"));
    if (!airfoils.IsSequence())
        fail(QStringLiteral("airfoils"), QStringLiteral("is not a list"), airfoils);
    for (int k = 0; k < blade.airfoilLabels.size(); ++k) {
        const QString& label = blade.airfoilLabels[k];
        if (blade.airfoil(label))
            continue;
        bool found = false;
        for (size_t i = 0; i < airfoils.size() && !found; ++i) {
            const QString here = QStringLiteral("airfoils[%1]").arg(i);
            if (text(required(airfoils[i], "name", here), here + QStringLiteral(".name")) != label)
                continue;
            found = true;
            checkName(label, blade.airfoils, here + QStringLiteral(".name"), airfoils[i]);
            Airfoil airfoil;
            airfoil.name = label;
            const QString coordinatePath = here + QStringLiteral(".coordinates");
            const YAML::Node coordinates = required(airfoils[i], "coordinates", here);
            const YAML::Node xs = required(coordinates, "x", coordinatePath);
            airfoil.x = numbers(xs, coordinatePath + QStringLiteral(".x"));
            airfoil.y = numbers(required(coordinates, "y", coordinatePath), coordinatePath + QStringLiteral(".y"));
            const QString thicknessPath = here + QLatin1Char('.') + QLatin1String(thicknessKey);
            airfoil.relativeThickness = number(required(airfoils[i], thicknessKey, here), thicknessPath);
            if (airfoil.x.size() != airfoil.y.size())
                fail(coordinatePath, QStringLiteral("x has %1 entries and y %2")
                                         .arg(airfoil.x.size()).arg(airfoil.y.size()), coordinates);
            if (airfoil.x.size() < 5)
                fail(coordinatePath, QStringLiteral("has %1 points, too few for a section (5 at least)")
                                         .arg(airfoil.x.size()), coordinates);
            const auto [low, high] = std::minmax_element(airfoil.x.begin(), airfoil.x.end());
            if (*high - *low < 0.5 || *high - *low > 2.0)
                fail(coordinatePath + QStringLiteral(".x"),
                     QStringLiteral("spans %1 chords; a normalised section spans about 1").arg(*high - *low), xs);
            if (airfoil.relativeThickness <= 0.0)
                fail(thicknessPath, QStringLiteral("is not above 0"), airfoils[i][thicknessKey]);
            blade.airfoils.push_back(std::move(airfoil));
        }
        if (!found)
            fail(labelPath(k), QStringLiteral("names no airfoil: '%1'").arg(label), root["airfoils"]);
    }
}

void readMaterials(const YAML::Node& root, Blade& blade, const std::function<QString(int)>& layerPath)
{
    const YAML::Node materials = required(root, "materials", QStringLiteral("the file"));
    if (!materials.IsSequence())
        fail(QStringLiteral("materials"), QStringLiteral("is not a list"), materials);
    for (size_t l = 0; l < blade.layers.size(); ++l) {
        const QString& name = blade.layers[l].material;
        if (blade.material(name))
            continue;
        bool found = false;
        for (size_t i = 0; i < materials.size() && !found; ++i) {
            const QString here = QStringLiteral("materials[%1]").arg(i);
            const YAML::Node node = materials[i];
            if (text(required(node, "name", here), here + QStringLiteral(".name")) != name)
                continue;
            found = true;
            checkName(name, blade.materials, here + QStringLiteral(".name"), node);
            Material material;
            material.name = name;
            material.orthotropic = number(required(node, "orth", here), here + QStringLiteral(".orth")) != 0.0;
            material.density = number(required(node, "rho", here), here + QStringLiteral(".rho"));
            if (material.density <= 0.0)
                fail(here + QStringLiteral(".rho"), QStringLiteral("is not above 0"), node["rho"]);
            if (const YAML::Node cost = optional(node, "unit_cost"))
                material.unitCost = number(cost, here + QStringLiteral(".unit_cost"));
            material.E = numberOrList(required(node, "E", here), here + QStringLiteral(".E"));
            material.nu = numberOrList(required(node, "nu", here), here + QStringLiteral(".nu"));
            const size_t count = material.orthotropic ? 3 : 1;
            if (material.orthotropic)
                material.G = numberOrList(required(node, "G", here), here + QStringLiteral(".G"));
            for (auto [values, key] : {std::pair{&material.E, "E"}, {&material.nu, "nu"}, {&material.G, "G"}}) {
                if (values->empty() && !material.orthotropic)
                    continue;
                if (values->size() < count)
                    fail(here + QLatin1Char('.') + QLatin1String(key),
                         QStringLiteral("gives %1 values, %2 needed").arg(values->size()).arg(count), node[key]);
            }
            for (auto [values, key] : {std::pair{&material.Xt, "Xt"}, {&material.Xc, "Xc"}, {&material.S, "S"}}) {
                if (const YAML::Node strength = optional(node, key))
                    *values = numberOrList(strength, here + QLatin1Char('.') + QLatin1String(key));
                for (double v : *values)
                    if (v < 0.0)
                        fail(here + QLatin1Char('.') + QLatin1String(key), QStringLiteral("a strength is negative"),
                             node[key]);
            }
            for (size_t k = 0; k < count; ++k) {
                if (material.E[k] <= 0.0)
                    fail(here + QStringLiteral(".E"), QStringLiteral("a modulus is not above 0"), node["E"]);
                if (material.orthotropic && material.G[k] <= 0.0)
                    fail(here + QStringLiteral(".G"), QStringLiteral("a modulus is not above 0"), node["G"]);
            }
            blade.materials.push_back(std::move(material));
        }
        if (!found)
            fail(layerPath(int(l)), QStringLiteral("names no material: '%1'").arg(name), root["materials"]);
    }
}

} // namespace Folvane::Windio::Yaml
