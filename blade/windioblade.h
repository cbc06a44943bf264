#ifndef FOLVANE_WINDIOBLADE_H
#define FOLVANE_WINDIOBLADE_H

#include "blade/windiobeam.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace Folvane::Windio {

// A quantity along the blade's non-dimensional span, linear between its
// grid points and held at its end values beyond them. A grid point that
// repeats is a step: the value right at it is the one after it.
struct Curve
{
    std::vector<double> grid;
    std::vector<double> values;

    bool empty() const { return grid.empty(); }
    double at(double span) const;
    // As at(), but 0 beyond the grid: a layer has no thickness where the
    // file gives none (windIO interpolates thickness without extrapolating).
    double within(double span) const;
    double maximum() const;
};

// One chordwise edge of a layer or web: its non-dimensional arc position
// (0 at the trailing edge, over the suction side, 1 back at the trailing
// edge), or the name of what it is fixed to ("LE", "TE" or a layer).
struct ArcEdge
{
    Curve arc;
    QString fixed;
    bool given() const { return !arc.empty(); }
};

struct Layer
{
    QString name;
    QString material;
    QString web;            // empty for a layer of the skin
    QString side;           // "suction" or "pressure", for offset placement
    Curve thickness;        // metres
    Curve orientation;      // radians from the span axis
    ArcEdge start, end, midpoint;
    Curve width;            // metres along the arc
    Curve offset;           // metres from the pitch axis along the rotated chord
    Curve rotation;         // radians
    bool rotationFollowsTwist = false;
};

struct Web
{
    QString name;
    ArcEdge start, end;
    Curve offset;
    Curve rotation;
    bool rotationFollowsTwist = false;
};

// Normalised coordinates from the trailing edge over the suction side to
// the leading edge and back over the pressure side.
struct Airfoil
{
    QString name;
    std::vector<double> x, y;
    double relativeThickness = 0.0;
};

// SI units, as the file gives them.
struct Material
{
    QString name;
    bool orthotropic = false;
    double density = 0.0;
    double unitCost = 0.0;  // per kilogram
    std::vector<double> E, G, nu;
    // Strengths along 11, 22 (33) or one for all directions; 0 or absent:
    // not given.
    std::vector<double> Xt, Xc, S;
};

struct Blade
{
    QString name;
    QString version;        // "1.x" or "2.0", as read
    Curve chord, twist, pitchAxis;
    // Metres from the reference axis, square to the chord, towards the
    // suction side (2.0's section_offset_x; empty: on the chord line).
    Curve chordOffset;
    Curve referenceX, referenceY, referenceZ;
    std::vector<double> airfoilGrid;
    QStringList airfoilLabels;
    std::vector<Layer> layers;
    std::vector<Web> webs;
    std::vector<Airfoil> airfoils;
    std::vector<Material> materials;
    std::optional<BeamModel> beam;   // where the file gives one

    const Airfoil* airfoil(const QString& name) const;
    const Material* material(const QString& name) const;
    int layerIndex(const QString& name) const;
    int webIndex(const QString& name) const;
};

} // namespace Folvane::Windio

#endif
