#include "app/spanplot.h"
#include "core/savefile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

using namespace QtCharts;

namespace Folvane {

const std::vector<SpanPlot::Quantity>& SpanPlot::quantities()
{
    // The units of the model's defaults: mm, t, MPa; twist as the table has it.
    static const std::vector<Quantity> list{
        {ResultTable::DefX, "Deflection in x (edgewise)", "def X (mm)"},
        {ResultTable::DefY, "Deflection in y (flapwise)", "def Y (mm)"},
        {ResultTable::Twist, "Twist", "twist (rad)"},
        {ResultTable::VonMises, "Largest von Mises stress", "von Mises (MPa)"},
        {ResultTable::Mass, "Mass per station", "mass (t)"},
    };
    return list;
}

SpanPlot::SpanPlot()
    : m_scene(std::make_unique<QGraphicsScene>())
{
    for (const Quantity& q : quantities()) {
        auto* chart = new QChart;
        chart->setTitle(QString::fromUtf8(q.title));
        chart->legend()->setAlignment(Qt::AlignBottom);
        auto* x = new QValueAxis;
        x->setTitleText(QStringLiteral("span location (mm)"));
        x->setLabelFormat(QStringLiteral("%g"));
        auto* y = new QValueAxis;
        y->setTitleText(QString::fromUtf8(q.axis));
        y->setLabelFormat(QStringLiteral("%.3g"));
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        chart->setAnimationOptions(QChart::NoAnimation);
        m_scene->addItem(chart);
        m_charts.push_back(chart);
    }
    layOut();
}

SpanPlot::~SpanPlot() = default;

void SpanPlot::addTable(const QString& label, const ResultTable& table)
{
    const auto& list = quantities();
    for (size_t p = 0; p < list.size(); ++p) {
        QChart* chart = m_charts[p];
        auto* series = new QLineSeries;
        series->setName(label);
        for (Eigen::Index r = 0; r < table.rows.rows(); ++r)
            series->append(table.rows(r, ResultTable::Span), table.rows(r, list[p].column));
        chart->addSeries(series);
        // The plot draws each curve itself, as one line through its points
        // (the chart would draw segments, which an SVG keeps apart); the
        // series keeps the axes and the legend.
        if (p == 0)
            m_colours.push_back(series->color());
        const QColor colour = m_colours.back();
        series->setPen(Qt::NoPen);
        for (QLegendMarker* marker : chart->legend()->markers(series)) {
            marker->setBrush(colour);
            marker->setPen(QPen(colour));
        }
        for (QAbstractAxis* axis : chart->axes())
            series->attachAxis(axis);
        // Ranges that hold every curve, rounded to readable ticks; a flat
        // curve gets some room.
        double low = HUGE_VAL, high = -HUGE_VAL, left = HUGE_VAL, right = -HUGE_VAL;
        for (QAbstractSeries* s : chart->series())
            for (const QPointF& point : static_cast<QLineSeries*>(s)->pointsVector()) {
                low = std::min(low, point.y());
                high = std::max(high, point.y());
                left = std::min(left, point.x());
                right = std::max(right, point.x());
            }
        if (high - low < 1e-12 * std::max(1.0, std::abs(high))) {
            low -= 1;
            high += 1;
        }
        auto* x = static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).front());
        auto* y = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
        x->setRange(left, right > left ? right : left + 1);
        x->applyNiceNumbers();
        y->setRange(low, high);
        y->applyNiceNumbers();
    }
    m_labels << label;
}

QSizeF SpanPlot::size() const
{
    const int rows = int(m_charts.size() + 1) / 2;
    return QSizeF(2 * PanelWidth, rows * PanelHeight);
}

void SpanPlot::layOut()
{
    for (size_t p = 0; p < m_charts.size(); ++p)
        m_charts[p]->setGeometry(QRectF((p % 2) * PanelWidth, (p / 2) * PanelHeight, PanelWidth, PanelHeight));
    m_scene->setSceneRect(QRectF(QPointF(0, 0), size()));
}

void SpanPlot::render(QPainter& painter, const QRectF& target)
{
    // The charts lay out their legends and axes on posted events.
    QCoreApplication::sendPostedEvents();
    const QRectF source = m_scene->sceneRect();
    m_scene->render(&painter, target, source);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / source.width(), target.height() / source.height());
    painter.setRenderHint(QPainter::Antialiasing);
    for (QChart* chart : m_charts) {
        painter.save();
        painter.setClipRect(chart->mapRectToScene(chart->plotArea()));
        const QList<QAbstractSeries*> series = chart->series();
        for (int i = 0; i < series.size(); ++i) {
            QPolygonF line;
            for (const QPointF& point : static_cast<QLineSeries*>(series[i])->pointsVector())
                line << chart->mapToScene(chart->mapToPosition(point, series[i]));
            painter.setPen(QPen(m_colours[size_t(i)], 2.0));
            painter.drawPolyline(line);
        }
        painter.restore();
    }
    painter.restore();
}

bool SpanPlot::save(const QString& path, QString& error)
{
    // The picture is drawn into memory and then saved beside the target and
    // renamed into place: a failed write leaves the previous file as it was.
    const QSize pixels = size().toSize();
    QBuffer picture;
    picture.open(QIODevice::WriteOnly);
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) {
        QImage image(pixels, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            render(painter, QRectF(QPointF(0, 0), size()));
        }
        image.save(&picture, "PNG");
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&picture);
        svg.setSize(pixels);
        svg.setViewBox(QRect(QPoint(0, 0), pixels));
        svg.setTitle(QStringLiteral("Folvane: results along the span"));
        QPainter painter(&svg);
        render(painter, QRectF(QPointF(0, 0), size()));
    }
    QSaveFile file(path);
    if (picture.data().isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(picture.data()) != picture.size()
        || !commitWhole(file)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace Folvane
