#include "capture.h"
#include "files.h"
#include "program.h"
#include "blade/kblade.h"
#include "core/messages.h"

#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace Folvane;

class TestPlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void curvesOfTwoTables();
    void refusedTables();
};

namespace {

const char* const Header = "Blade Length, Area, Volume, Price, Mass, def X, def Y, Twist, Sv, S11, S22, S33, S12, S13, "
                           "S23, E11, E22, E33, E12, E13, E23\n";

// Four stations whose plotted columns are known: def X = z/100, def Y =
// -(z/1000)^2, twist = -z/1e6, von Mises = 10 - z/1000, mass = 1.
QByteArray handTable()
{
    QByteArray text = Header;
    for (int z : {0, 2000, 5000, 9000}) {
        QStringList row;
        for (int c = 0; c < 21; ++c)
            row << "0";
        row[0] = QString::number(z);
        row[4] = "1";
        row[5] = QString::number(z / 100.0);
        row[6] = QString::number(-(z / 1000.0) * (z / 1000.0));
        row[7] = QString::number(-z / 1e6);
        row[8] = QString::number(10 - z / 1000.0);
        text += row.join("   ").toUtf8() + "\n";
    }
    return text;
}

struct Svg
{
    std::vector<std::vector<QPointF>> polylines;
    QStringList texts;
};

Svg parseSvg(const QString& path)
{
    Svg svg;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("polyline")) {
            std::vector<QPointF> points;
            for (const QString& pair : xml.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts)) {
                const QStringList xy = pair.split(',');
                points.emplace_back(xy.value(0).toDouble(), xy.value(1).toDouble());
            }
            svg.polylines.push_back(points);
        } else if (xml.name() == QLatin1String("text")) {
            svg.texts << xml.readElementText().trimmed();
        }
    }
    if (xml.hasError())
        svg.texts << "XML error: " + xml.errorString();
    return svg;
}

// The points lie where a linear axis puts the values: the pixel position
// is a + b * value, with b of the given sign.
bool linear(const std::vector<double>& values, const std::vector<double>& pixels, int sign)
{
    const double b = (pixels.back() - pixels.front()) / (values.back() - values.front());
    for (size_t i = 0; i < values.size(); ++i)
        if (std::abs(pixels.front() + b * (values[i] - values.front()) - pixels[i]) > 0.05)
            return false;
    return b * sign > 0;
}

} // namespace

void TestPlots::initTestCase()
{
    // Files need no screen.
    qunsetenv("DISPLAY");
}

// A hand-made table and one the program wrote: every panel holds one line
// per table through all its stations, placed as the values say, with the
// axis titles and the tables' names in the legends.
void TestPlots::curvesOfTwoTables()
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("hand.out"), handTable());
    {
        KBlade blade;
        QuietDebug quiet;
        blade.genFEModel();
        blade.exportResults(dir.filePath("built.out"), 0);
    }
    const ProgramRun run =
        runProgram({"-plot", dir.filePath("span.svg"), dir.filePath("hand.out"), dir.filePath("built.out")},
                   dir.filePath("."));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, "Span plots of 2 tables written to " + dir.filePath("span.svg") + "\n");

    const Svg svg = parseSvg(dir.filePath("span.svg"));
    std::vector<std::vector<QPointF>> hand, built;
    for (const auto& line : svg.polylines) {
        if (line.size() == 4)
            hand.push_back(line);
        else if (line.size() == 46)
            built.push_back(line);
        else
            QCOMPARE(int(line.size()), 2);  // grid lines and ticks
    }
    QCOMPARE(int(hand.size()), 5);
    QCOMPARE(int(built.size()), 5);
    const std::vector<double> z{0, 2000, 5000, 9000};
    const std::vector<std::vector<double>> columns{{0, 20, 50, 90}, {0, -4, -25, -81}, {0, -0.002, -0.005, -0.009},
                                                   {10, 8, 5, 1}, {1, 1, 1, 1}};
    for (size_t p = 0; p < 4; ++p) {
        std::vector<double> x, y;
        for (const QPointF& point : hand[p]) {
            x.push_back(point.x());
            y.push_back(point.y());
        }
        QVERIFY2(linear(z, x, 1), qPrintable(QString("panel %1 across").arg(p)));
        // Up the page is towards smaller y.
        QVERIFY2(linear(columns[p], y, -1), qPrintable(QString("panel %1 up").arg(p)));
    }
    // A constant mass is a level line.
    QCOMPARE(hand[4].front().y(), hand[4].back().y());

    QCOMPARE(svg.texts.count("span location (mm)"), 5);
    for (const char* axis : {"def X (mm)", "def Y (mm)", "twist (rad)", "von Mises (MPa)", "mass (t)"})
        QVERIFY2(svg.texts.count(axis) == 1, axis);
    QCOMPARE(svg.texts.count("hand.out"), 5);
    QCOMPARE(svg.texts.count("built.out"), 5);

    // PNG by the name.
    QCOMPARE(runProgram({"-plot", dir.filePath("span.png"), dir.filePath("hand.out")}, dir.filePath(".")).exitCode, 0);
    const QImage image(dir.filePath("span.png"));
    QCOMPARE(image.size(), QSize(1600, 1140));
}

void TestPlots::refusedTables()
{
    QTemporaryDir dir;
    ProgramRun run;
    writeBytes(dir.filePath("hand.out"), handTable());
    QByteArray shortRow = handTable();
    shortRow.replace("9000   ", "9000 x ");
    writeBytes(dir.filePath("word.out"), shortRow);
    writeBytes(dir.filePath("empty.out"), Header);
    writeBytes(dir.filePath("other.out"), "Mode, Frequency, Class\n   1  0.5 flapwise\n");
    const QList<QPair<QString, QString>> cases{
        {"missing.out", "cannot open it: No such file or directory"},
        {"word.out", "line 5 has 22 values, not 21"},
        {"empty.out", "it has no rows"},
        {"other.out", "line 1 is not the header of a result table"},
    };
    for (const auto& [name, why] : cases) {
        run = runProgram({"-plot", dir.filePath("x.svg"), dir.filePath("hand.out"), dir.filePath(name)}, dir.filePath("."));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.endsWith("Folvane: the result table '" + dir.filePath(name) + "' cannot be read: " + why
                                  + "; nothing was written\n"),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(dir.filePath("x.svg")));
    }
}

QTEST_MAIN(TestPlots)
#include "tst_plots.moc"
