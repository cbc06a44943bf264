#ifndef FOLVANE_POLYLAYER_H
#define FOLVANE_POLYLAYER_H

#include "fem/object.h"

namespace Folvane {

class Element;
class Material;

// The plies of one composite section, first ply first.
struct PlyStack
{
    std::vector<Material*> materials;
    std::vector<double> thicknesses;
    std::vector<int> intPoints;
    std::vector<double> angles;
};

// One composite shell section and the elements that use it.
class PolyLayer : public Object
{
public:
    enum Position { Top = 0, Middle = 1, Bottom = 2 };

    PolyLayer(const QString& name, PlyStack plies, int offset, Object* owner = nullptr);

    int plyCount() const { return int(m_plies.intPoints.size()); }
    const PlyStack& plies() const { return m_plies; }
    int offset() const { return m_offset; }
    double totalThickness() const;
    double arealMass() const { return m_arealMass; }
    double arealCost() const { return m_arealCost; }
    void addElement(Element* element) { m_elements.push_back(element); }
    // Room for count more elements.
    void reserveElements(size_t count);
    const std::vector<Element*>& elements() const { return m_elements; }
    // How the section's elements turn plies about their normals (see
    // Element::angleSense); they all agree, being one strip of the surface.
    int angleSense() const;

    // The orientation of the Abaqus deck whose 1-direction is the span axis.
    static constexpr const char* SpanOrientation = "Span";

    // A section writes its cards only when it has elements (and, for the
    // shell section, plies).
    void WriteAnsys(TextBuffer& out) const override;
    void WriteCCX(TextBuffer& out) const override;
    void WriteSet(TextBuffer& out) const override;
    void WriteAbaqus(TextBuffer& out) const override;
    void WriteAbaqusSet(TextBuffer& out) const override { WriteSet(out); }

private:
    bool hasShell() const { return plyCount() > 0 && !m_elements.empty(); }

    PlyStack m_plies;
    int m_offset;
    double m_arealMass = 0.0;
    double m_arealCost = 0.0;
    std::vector<Element*> m_elements;
};

class PolyLayerList : public TypedList<PolyLayer>
{
public:
    explicit PolyLayerList(Object* owner = nullptr)
        : TypedList<PolyLayer>(QStringLiteral("Sections"), owner)
    {
    }
    // The largest ply count of any section (0 without sections).
    int maxPlyCount() const;
};

// The sections of one region or web along the span: one per station interval.
class RegionLayup : public Object
{
public:
    RegionLayup(const QString& name, std::vector<double> stations, Object* owner = nullptr);

    void add(PolyLayer* section) { m_sections.push_back(section); }
    int count() const { return int(m_sections.size()); }
    PolyLayer* ReadPloyLayer(int i) const;
    const std::vector<double>& stations() const { return m_stations; }

private:
    std::vector<double> m_stations;
    std::vector<PolyLayer*> m_sections;
};

} // namespace Folvane

#endif
