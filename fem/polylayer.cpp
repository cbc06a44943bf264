#include "fem/polylayer.h"

#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/element.h"
#include "fem/material.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

namespace Folvane {

PolyLayer::PolyLayer(const QString& name, PlyStack plies, int offset, Object* owner)
    : Object(name, 0, owner)
    , m_plies(std::move(plies))
    , m_offset(offset)
{
    for (size_t i = 0; i < m_plies.materials.size(); ++i) {
        const Material* m = m_plies.materials[i];
        m_arealMass += m->density() * m_plies.thicknesses[i];
        m_arealCost += m->price() * m->density() * m_plies.thicknesses[i];
    }
}

void PolyLayer::reserveElements(size_t count)
{
    // Growing by at least half keeps sections filled row by row linear.
    const size_t needed = m_elements.size() + count;
    if (needed > m_elements.capacity())
        m_elements.reserve(std::max(needed, m_elements.capacity() + m_elements.capacity() / 2));
}

double PolyLayer::totalThickness() const
{
    return std::accumulate(m_plies.thicknesses.begin(), m_plies.thicknesses.end(), 0.0);
}

void PolyLayer::WriteSet(TextBuffer& out) const
{
    if (m_elements.empty())
        return;
    out << "\n*ELSET, ELSET=" << deckName(Deck::Keyword) << '\n';
    writeNumberList(out, m_elements);
}

// Deck numbers without rounding noise: a component that is zero but for
// rounding is written as 0 (never as -0).
static double clean(double v)
{
    return std::abs(v) < 1e-12 ? 0.0 : v;
}

int PolyLayer::angleSense() const
{
    return m_elements.empty() ? 1 : m_elements.front()->angleSense();
}

void PolyLayer::WriteCCX(TextBuffer& out) const
{
    if (!hasShell())
        return;
    // Offsets go out as the single-precision values 0.5, 0 and -0.5.
    const float offset = m_offset == Top ? 0.5f : (m_offset == Bottom ? -0.5f : 0.0f);
    // One orientation per element and distinct ply angle: CalculiX takes an
    // orientation as a fixed system, so it must follow each element's own
    // surface; every element therefore gets a shell section of its own.
    std::vector<double> angles;
    std::vector<int> angleOfPly;
    for (double a : m_plies.angles) {
        auto found = std::find(angles.begin(), angles.end(), a);
        angleOfPly.push_back(int(found - angles.begin()) + 1);
        if (found == angles.end())
            angles.push_back(a);
    }
    const double degree = std::asin(1.0) / 90.0;
    std::vector<double> cosines, sines;
    for (double angle : angles) {
        cosines.push_back(std::cos(angle * degree));
        sines.push_back(std::sin(angle * degree));
    }
    // What every element's section says alike, written once: the offset
    // and, ply by ply, the text before and after the element's number.
    TextBuffer offsetText;
    offsetText << ",OFFSET=" << double(offset);
    const size_t plies = m_plies.intPoints.size();
    std::vector<TextBuffer> beforeNumber(plies), afterNumber(plies);
    for (size_t i = 0; i < plies; ++i) {
        beforeNumber[i] << '\n' << m_plies.thicknesses[i] << ", , " << m_plies.materials[i]->deckName(Deck::Keyword) << ", O";
        afterNumber[i] << '_' << angleOfPly[i];
    }
    for (const Element* e : m_elements) {
        char digits[24];
        const std::string_view n(digits, size_t(std::to_chars(digits, digits + sizeof digits, e->number()).ptr - digits));
        const Eigen::Matrix3d frame = e->plyFrame();
        out << "\n*ELSET, ELSET=E" << n << '\n' << n;
        for (size_t k = 0; k < angles.size(); ++k) {
            const Eigen::Vector3d fibre = cosines[k] * frame.col(0) + sines[k] * frame.col(1);
            const Eigen::Vector3d across = frame.col(2).cross(fibre);
            out << "\n*ORIENTATION, NAME=O" << n << '_' << k + 1 << '\n' << clean(fibre.x()) << ", "
                << clean(fibre.y()) << ", " << clean(fibre.z()) << ", " << clean(across.x()) << ", "
                << clean(across.y()) << ", " << clean(across.z());
        }
        out << "\n*SHELL SECTION,composite,ELSET=E" << n << offsetText;
        // CalculiX stacks the first line on the negative side of the normal;
        // the first ply belongs on the positive side.
        for (size_t i = plies; i-- > 0;)
            out << beforeNumber[i] << n << afterNumber[i];
    }
}

void PolyLayer::WriteAbaqus(TextBuffer& out) const
{
    if (!hasShell())
        return;
    // Abaqus lays the section's 1-direction along the span axis projected
    // onto each element, and turns plies about the element normal from it.
    const int sense = angleSense();
    out << "\n*SHELL SECTION,ELSET=" << deckName(Deck::Keyword) << ",composite,ORIENTATION=" << SpanOrientation
        << (m_offset == Top ? ",OFFSET=SPOS" : (m_offset == Bottom ? ",OFFSET=SNEG" : ""));
    for (int i = plyCount() - 1; i >= 0; --i) {
        const size_t k = size_t(i);
        out << '\n' << m_plies.thicknesses[k] << ',' << m_plies.intPoints[k] << ',' << m_plies.materials[k]->deckName(Deck::Keyword)
            << ',' << clean(sense * (m_plies.angles[k] - 90.0));
    }
}

void PolyLayer::WriteAnsys(TextBuffer& out) const
{
    if (!hasShell())
        return;
    // SHELL281 lays plies from the element's first edge, which runs along
    // 0 degrees (either way), turning about the element normal; its layer 1
    // is on the negative side of the normal.
    const int sense = angleSense();
    out << "\nsect," << number() << ",shell,," << deckName(Deck::Ansys);
    for (int i = plyCount() - 1; i >= 0; --i) {
        const size_t k = size_t(i);
        out << "\nsecdata, " << m_plies.thicknesses[k] << ", " << m_plies.materials[k]->number() << ", "
            << clean(sense * m_plies.angles[k]) << ", " << m_plies.intPoints[k];
    }
    out << "\nsecoffset," << (m_offset == Top ? "TOP" : (m_offset == Bottom ? "BOT" : "MID")) << "\nSECNUM, "
        << number() << "\nCSYS, 0\nTSHAP,LINE";
    for (const Element* e : m_elements)
        e->WriteAnsys(out);
}

int PolyLayerList::maxPlyCount() const
{
    int most = 0;
    for (int i = 0; i < count(); ++i)
        most = std::max(most, at(i)->plyCount());
    return most;
}

RegionLayup::RegionLayup(const QString& name, std::vector<double> stations, Object* owner)
    : Object(name, 0, owner)
    , m_stations(std::move(stations))
{
}

PolyLayer* RegionLayup::ReadPloyLayer(int i) const
{
    if (i < 0 || i >= count()) {
        debugLine(QStringLiteral("RegionLayup - ReadPloyLayer: index not correct!"));
        return nullptr;
    }
    return m_sections[size_t(i)];
}

} // namespace Folvane
