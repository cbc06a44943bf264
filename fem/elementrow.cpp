#include "fem/elementrow.h"

#include "core/messages.h"
#include "fem/noderow.h"
#include "fem/polylayer.h"

#include <algorithm>

namespace Folvane {

ElementRow::ElementRow(const QString& name, Object* owner)
    : Object(name, 0, owner)
{
}

void ElementRow::setSection(PolyLayer* section, int start, int skipEnd) const
{
    if (section)
        section->reserveElements(size_t(std::max(count() - skipEnd - start, 0)));
    for (int i = start; i < count() - skipEnd; ++i)
        m_elements[size_t(i)]->setSection(section);
}

Eigen::Vector4d ElementRow::totals() const
{
    Eigen::Vector4d sum = Eigen::Vector4d::Zero();
    for (const Element* e : m_elements) {
        const PolyLayer* s = e->section();
        const double a = e->area();
        sum += Eigen::Vector4d(a, s ? a * s->totalThickness() : 0.0, s ? a * s->arealMass() : 0.0,
                               s ? a * s->arealCost() : 0.0);
    }
    return sum;
}

Eigen::Matrix<double, Element::ResultCount, 1> ElementRow::resultSummary(int loadCase) const
{
    Eigen::Matrix<double, Element::ResultCount, 1> most = Eigen::Matrix<double, Element::ResultCount, 1>::Zero();
    for (const Element* e : m_elements)
        most = most.cwiseMax(e->summary(loadCase));
    return most;
}

ElementArray::ElementArray(const QString& name, Object* owner)
    : Object(name, 0, owner)
{
}

void ElementArray::GetElesByRow(int row, std::vector<Element*>& out, int start, int skipEnd) const
{
    if (row < 0 || row >= count()) {
        debugLine(QStringLiteral("ElementArray - GetElesByRow: index not correct!"));
        return;
    }
    const ElementRow* r = m_rows[size_t(row)].get();
    for (int i = start; i < r->count() - skipEnd; ++i)
        out.push_back(r->at(i));
}

void ElementArray::MapPolylayers(const RegionLayup* layup) const
{
    if (layup->count() != count()) {
        debugLine(QStringLiteral("ElementArray - MapPolylayers: regionlayup size not correct! %1 %2")
                      .arg(layup->count()).arg(count()));
        return;
    }
    for (int i = 0; i < count(); ++i)
        m_rows[size_t(i)]->setSection(layup->ReadPloyLayer(i), 0, 0);
}

void ElementArray::MapWebPolylayers(const RegionLayup* layup, int startStation, int endStation) const
{
    if (endStation - startStation != count() || startStation < 0 || endStation > layup->count()) {
        debugLine(QStringLiteral("ElementArray - MapWebPolylayers: regionlayup size not correct! %1 %2")
                      .arg(endStation - startStation).arg(count()));
        return;
    }
    for (int i = 0; i < count(); ++i)
        m_rows[size_t(i)]->setSection(layup->ReadPloyLayer(startStation + i), 0, 0);
}

Eigen::MatrixXd ElementArray::totalsTable() const
{
    Eigen::MatrixXd table(count(), 4);
    for (int i = 0; i < count(); ++i)
        table.row(i) = m_rows[size_t(i)]->totals().transpose();
    return table;
}

Eigen::MatrixXd ElementArray::summaryTable(int loadCase) const
{
    Eigen::MatrixXd table(count(), Element::ResultCount);
    for (int i = 0; i < count(); ++i)
        table.row(i) = m_rows[size_t(i)]->resultSummary(loadCase).transpose();
    return table;
}

void genRowElements(const NodeRow& inner, const NodeRow& outer, bool web, bool quadDominant, RowNormal normal,
                    ElementList& elements, EdgeList& edges, ElementRow& row)
{
    // The longer row is A.
    const bool swap = outer.count() > inner.count();
    const NodeRow& a = swap ? outer : inner;
    const NodeRow& b = swap ? inner : outer;
    row.setName(a.name());
    const int na = a.count();
    const int nb = b.count();
    if (nb == 0)
        return;
    const int d = na - nb;
    row.reserve(row.elements().size() + size_t(na + nb));
    const bool spanCrossRow = normal == RowNormal::SpanCrossRow;
    // A triangle with its side p -> q (in row order) on one row and its apex
    // on the other. Its edge 0 is that side, run backwards where the normal
    // could not point the right way otherwise.
    auto triangle = [&](bool sideOnOuter, Node* p, Node* q, Node* apex) {
        const bool backwards = sideOnOuter != spanCrossRow;
        Element* t = backwards ? elements.addTri(q, p, apex, web, edges) : elements.addTri(p, q, apex, web, edges);
        t->setReferenceReversed(backwards);
        row.add(t);
    };
    // A quadrilateral between inner side p -> q and outer side r -> s.
    auto quad = [&](Node* p, Node* q, Node* r, Node* s) {
        row.add(spanCrossRow ? elements.addQuad(r, s, q, p, web, edges) : elements.addQuad(p, q, s, r, web, edges));
    };
    const bool aIsOuter = swap;
    auto quadAB = [&](Node* a0, Node* a1, Node* b0, Node* b1) {
        if (aIsOuter)
            quad(b0, b1, a0, a1);
        else
            quad(a0, a1, b0, b1);
    };

    int i = 0;
    for (; i < d / 2; ++i)
        triangle(aIsOuter, a.at(i), a.at(i + 1), b.at(0));
    for (int j = 0; j + 1 < nb; ++j, ++i) {
        if (quadDominant) {
            quadAB(a.at(i), a.at(i + 1), b.at(j), b.at(j + 1));
        } else {
            triangle(aIsOuter, a.at(i), a.at(i + 1), b.at(j));
            triangle(!aIsOuter, b.at(j), b.at(j + 1), a.at(i + 1));
        }
    }
    for (; i + 1 < na; ++i)
        triangle(aIsOuter, a.at(i), a.at(i + 1), b.at(nb - 1));
}

} // namespace Folvane
