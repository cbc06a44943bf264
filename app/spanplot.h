#ifndef FOLVANE_SPANPLOT_H
#define FOLVANE_SPANPLOT_H

#include "blade/resulttable.h"

#include <QColor>
#include <QRectF>
#include <QStringList>
#include <memory>
#include <vector>

class QGraphicsScene;
class QPainter;

namespace QtCharts {
class QChart;
}

namespace Folvane {

// Curves along the span from result tables: one panel per quantity (def X,
// def Y, twist, von Mises, mass), one curve per table, named in the legend.
class SpanPlot
{
public:
    struct Quantity
    {
        int column;
        const char* title;
        const char* axis;
    };
    static const std::vector<Quantity>& quantities();
    static constexpr int PanelWidth = 800;
    static constexpr int PanelHeight = 380;

    SpanPlot();
    ~SpanPlot();
    SpanPlot(const SpanPlot&) = delete;
    SpanPlot& operator=(const SpanPlot&) = delete;

    void addTable(const QString& label, const ResultTable& table);
    int tableCount() const { return m_labels.size(); }
    // The panels in two columns.
    QSizeF size() const;
    void render(QPainter& painter, const QRectF& target);
    // SVG, or PNG when the name ends in .png; false with the reason.
    bool save(const QString& path, QString& error);

private:
    void layOut();

    std::unique_ptr<QGraphicsScene> m_scene;
    std::vector<QtCharts::QChart*> m_charts;
    QStringList m_labels;
    std::vector<QColor> m_colours;
};

} // namespace Folvane

#endif
