#include "fem/elementvalues.h"

#include "fem/failure.h"
#include "fem/model.h"

#include <cmath>

namespace Folvane::ElementValues {

namespace {

const double None = std::nan("");

template <typename F>
Eigen::VectorXd perElement(const Model& model, F value)
{
    Eigen::VectorXd values(model.elements().count());
    for (int i = 0; i < model.elements().count(); ++i)
        values[i] = value(*model.elements().at(i));
    return values;
}

template <typename F>
double cornerMean(const Element& e, F length)
{
    double sum = 0;
    for (int k = 0; k < e.cornerCount(); ++k)
        sum += length(*e.node(k));
    return sum / e.cornerCount();
}

bool hasResults(const Element& e, int loadCase)
{
    return e.plyCount() > 0 && loadCase >= 0 && loadCase < e.result(Element::S11).cols();
}

} // namespace

Eigen::VectorXd thickness(const Model& model)
{
    return perElement(model, [](const Element& e) { return e.section() ? e.section()->totalThickness() : None; });
}

Eigen::VectorXd plyCount(const Model& model)
{
    return perElement(model, [](const Element& e) { return e.section() ? double(e.section()->plyCount()) : None; });
}

Eigen::VectorXd displacement(const Model& model, int loadCase)
{
    return perElement(model, [loadCase](const Element& e) {
        return cornerMean(e, [loadCase](const Node& n) { return n.displacementOf(loadCase).head<3>().norm(); });
    });
}

Eigen::VectorXd largestOverPlies(const Model& model, Element::Result result, int loadCase)
{
    return perElement(model, [=](const Element& e) { return hasResults(e, loadCase) ? e.summary(loadCase)[result] : None; });
}

Eigen::VectorXd signedPeakOverPlies(const Model& model, Element::Result result, int loadCase)
{
    return perElement(model, [=](const Element& e) { return hasResults(e, loadCase) ? e.signedPeak(result, loadCase) : None; });
}

Eigen::VectorXd tsaiWu(const Model& model, int loadCase)
{
    return perElement(model, [loadCase](const Element& e) {
        double most = None;
        if (!hasResults(e, loadCase) || !e.section())
            return most;
        const PlyStack& plies = e.section()->plies();
        for (int k = 0; k < std::min<int>(e.plyCount(), int(plies.materials.size())); ++k) {
            const double index = plyFailure(*plies.materials[size_t(k)], e.result(Element::S11)(k, loadCase),
                                            e.result(Element::S22)(k, loadCase), e.result(Element::S12)(k, loadCase))
                                     .tsaiWu;
            if (!std::isnan(index) && !(index <= most))
                most = index;
        }
        return most;
    });
}

Eigen::VectorXd modeMotion(const Model& model, const Eigen::MatrixXd& shapes, int mode)
{
    if (mode < 0 || mode >= shapes.cols() || shapes.rows() != 3 * Eigen::Index(model.nodes().count()))
        return Eigen::VectorXd::Constant(model.elements().count(), None);
    return perElement(model, [&](const Element& e) {
        return cornerMean(e, [&](const Node& n) { return shapes.block<3, 1>(3 * Eigen::Index(n.id()), mode).norm(); });
    });
}

} // namespace Folvane::ElementValues
