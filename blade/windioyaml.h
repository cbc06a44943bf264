#ifndef FOLVANE_WINDIOYAML_H
#define FOLVANE_WINDIOYAML_H

// What the readers of both windIO versions share: typed access to the YAML
// tree whose failures name the key, its line and column, and the parts of a
// blade both versions write alike. Internal to the readers.

#include "blade/windioblade.h"
#include "core/kobjectlist.h"

#include <functional>
#include <yaml-cpp/yaml.h>

namespace Folvane::Windio::Yaml {

constexpr double MaxLength = 1000.0;   // m
constexpr double MaxThickness = 10.0;  // m
// More points than any blade needs: a grid beyond it is refused before it
// is read, so a damaged file cannot fill the memory.
constexpr size_t MaxGridPoints = 100000;

struct ReadError
{
    QString text;
};

QString where(const YAML::Node& node);
[[noreturn]] void fail(const QString& path, const QString& problem, const YAML::Node& at);

YAML::Node required(const YAML::Node& parent, const char* key, const QString& path);
// A missing or empty key tests false.
YAML::Node optional(const YAML::Node& parent, const char* key);
QString text(const YAML::Node& node, const QString& path);
double number(const YAML::Node& node, const QString& path);
std::vector<double> numbers(const YAML::Node& node, const QString& path);
// A number or a list of them (isotropic materials give one modulus).
std::vector<double> numberOrList(const YAML::Node& node, const QString& path);
void checkGridSize(const YAML::Node& node, const QString& path);
void checkGrid(const std::vector<double>& grid, const YAML::Node& node, const QString& path);
Curve curve(const YAML::Node& node, const QString& path);
Curve optionalCurve(const YAML::Node& parent, const char* key, const QString& path);
// Values that are arc positions lie within 0 to 1.
void checkArcs(const Curve& arc, const YAML::Node& node, const QString& path);

// The file's names become the document's, under its rule: no control
// character, and none that is an earlier one's ignoring letter case.
template <typename Named>
void checkName(const QString& name, const std::vector<Named>& earlier, const QString& path, const YAML::Node& at)
{
    const QString fault = KObjectList::nameFault(name);
    if (!fault.isEmpty())
        fail(path, fault, at);
    for (const Named& other : earlier)
        if (KObjectList::sameName(name, other.name))
            fail(path, KObjectList::nameClash(name, other.name), at);
}

// Parts both versions give alike, at the paths given.
Curve chord(const YAML::Node& node, const QString& path);
void readReferenceAxis(const YAML::Node& axis, const QString& path, Blade& blade);
Curve thickness(const YAML::Node& node, const QString& path);

// The airfoils the blade names, with their relative thickness under the
// version's key; labelPath(k) is where the k-th name was given.
void readAirfoils(const YAML::Node& root, Blade& blade, const char* thicknessKey,
                  const std::function<QString(int)>& labelPath);
// The materials the layers name; layerPath(l) is where the l-th layer is.
void readMaterials(const YAML::Node& root, Blade& blade, const std::function<QString(int)>& layerPath);

} // namespace Folvane::Windio::Yaml

#endif
