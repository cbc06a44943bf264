#ifndef FOLVANE_ELEMENTROW_H
#define FOLVANE_ELEMENTROW_H

#include "fem/element.h"

#include <memory>

namespace Folvane {

class NodeRow;
class RegionLayup;

// The elements between two neighbouring node rows (not owned).
class ElementRow : public Object
{
public:
    explicit ElementRow(const QString& name, Object* owner = nullptr);

    void add(Element* element) { m_elements.push_back(element); }
    void reserve(size_t count) { m_elements.reserve(count); }
    int count() const { return int(m_elements.size()); }
    Element* at(int i) const { return m_elements[size_t(i)]; }
    const std::vector<Element*>& elements() const { return m_elements; }

    void setSection(PolyLayer* section, int start, int skipEnd) const;
    // Area, volume, mass and price of the row.
    Eigen::Vector4d totals() const;
    // The largest of every element summary (see Element::summary).
    Eigen::Matrix<double, Element::ResultCount, 1> resultSummary(int loadCase) const;

private:
    std::vector<Element*> m_elements;
};

// One element row per station interval.
class ElementArray : public Object
{
public:
    explicit ElementArray(const QString& name, Object* owner = nullptr);

    void addRow(std::unique_ptr<ElementRow> row) { m_rows.push_back(std::move(row)); }
    int count() const { return int(m_rows.size()); }
    ElementRow* row(int i) const { return m_rows[size_t(i)].get(); }

    void GetElesByRow(int row, std::vector<Element*>& out, int start, int skipEnd) const;
    void MapPolylayers(const RegionLayup* layup) const;
    void MapWebPolylayers(const RegionLayup* layup, int startStation, int endStation) const;

    // Rows x 4 totals (area, volume, mass, price) and rows x 13 summaries.
    Eigen::MatrixXd totalsTable() const;
    Eigen::MatrixXd summaryTable(int loadCase) const;

private:
    std::vector<std::unique_ptr<ElementRow>> m_rows;
};

// Which way element normals point, with t the direction along the rows and
// s the direction from the inner row to the outer one: s x t or t x s.
enum class RowNormal { SpanCrossRow, RowCrossSpan };

// The elements between the inner row and the outer row (towards the tip) by
// the row-pair rule, appended to the element list and to row. Every
// element's edge 0 lies along a row, so a solver that lays plies from its
// first edge sees the same reference in every element.
void genRowElements(const NodeRow& inner, const NodeRow& outer, bool web, bool quadDominant, RowNormal normal,
                    ElementList& elements, EdgeList& edges, ElementRow& row);

} // namespace Folvane

#endif
