// The analysis run from the window in the background, cancelled and
// finished, and the results view it opens: as a user drives it.

#include "capture.h"
#include "files.h"
#include "session.h"
#include "blade/kblade.h"
#include "core/messages.h"
#include "fem/model.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

class TestResultsView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { isolateHome(); }
    void runCancelAndSeeResults();
};

namespace {

bool setField(Session& session, const QString& name, const QString& text)
{
    if (!session.retype(name, text))
        return false;
    session.key("Return");
    return session.waitForItem(name, [&](const QJsonObject& o) { return o["text"] == text; });
}

bool progressSays(const Session& session, const QString& text, int ms = 120000)
{
    return session.waitForItem("analysisProgress", [&](const QJsonObject& o) { return o["text"] == text; }, ms);
}

// The share of pixels that differ between two pictures of one size.
double differing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 0;
    qint64 count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return double(count) / (a.width() * a.height());
}

} // namespace

void TestResultsView::runCancelAndSeeResults()
{
    QTemporaryDir dir;
    const QString model = dir.filePath("blade.fvm");
    KBlade expected;
    {
        QuietDebug quiet;
        expected.setFp(model);
        QVERIFY(expected.writeFile());
    }
    const QString slow = dir.filePath("slow-solver");
    writeBytes(slow, "#!/bin/sh\necho started\nsleep 60\n");
    QFile::setPermissions(slow, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.openWindow("settingsAction", "Analysis Setting"));
    QVERIFY(setField(session, "solverProgram", slow));
    // A run the user ends: the window goes on answering, the solver is gone.
    QVERIFY(session.click("runAnalysis"));
    QVERIFY(progressSays(session, "Solver: started", 60000));
    QVERIFY(session.waitForItem("cancelAnalysis", [](const QJsonObject& o) { return o["enabled"].toBool(); }));
    QVERIFY(!session.item("runAnalysis")["enabled"].toBool());
    QVERIFY(session.click("cancelAnalysis"));
    QVERIFY(progressSays(session, "Cancelled", 20000));
    // Said once, and not as a failure.
    QVERIFY(session.waitForItem("statusMessage", [](const QJsonObject& o) { return o["text"] == "Cancelled"; }));
    QStringList pane;
    for (const QJsonObject& line : session.items("message."))
        pane << line["text"].toString();
    QCOMPARE(pane.filter("Cancelled"), QStringList({"Cancelled"}));
    QCOMPARE(pane.filter(QRegularExpression("failed|Cannot read|finished")), QStringList());
    QCOMPARE(session.item("lastFailure")["text"].toString(), QString());
    QVERIFY(session.window("FE Model").isEmpty());

    // The real solver: the results view opens on von Mises, deformed. How
    // an optimisation evaluates follows the four lines of the saved settings.
    QVERIFY(setField(session, "solverProgram", "ccx"));
    QVERIFY(setField(session, "workers", "3"));
    QVERIFY(setField(session, "timeLimit", "90"));
    QVERIFY(session.click("saveSetting"));
    QTRY_COMPARE(QString(fileBytes(session.path("home/FVanalysis.setting"))).section('\n', 1), QString("ccx\n2\n1\n3\n90\n0\n\n\n"));
    QVERIFY(session.click("runAnalysis"));
    QVERIFY(progressSays(session, "Finished"));
    QVERIFY(session.waitForWindow("FE Model"));
    QVERIFY(session.waitForItem("legendName", [](const QJsonObject& o) { return o["text"] == "von Mises (MPa)"; }));
    QVERIFY(!session.item("colourLegend").isEmpty());
    double vonMises = 0;
    // The lowest of the elements' ply strains ε11 of largest magnitude: a
    // compressed spar cap's, negative.
    double strain = HUGE_VAL;
    {
        QuietDebug quiet;
        expected.anaSet()->setType(KAnalysis::Calculix);
        expected.anaSet()->setWorkDir(dir.path());
        expected.genFEModel();
        QVERIFY(expected.runLoadCase(0));
        vonMises = expected.stationStresses(0).col(1).maxCoeff();
        const ElementList& elements = expected.feModel()->elements();
        for (int i = 0; i < elements.count(); ++i) {
            const Eigen::VectorXd plies = elements.at(i)->result(Element::E11).col(0);
            Eigen::Index at = 0;
            if (plies.size() == 0)
                continue;
            plies.cwiseAbs().maxCoeff(&at);
            strain = std::min(strain, plies[at]);
        }
    }
    QVERIFY(strain < 0);
    const double high = session.item("legendHigh")["text"].toString().toDouble();
    QVERIFY2(std::abs(high / vonMises - 1) < 1e-3, qPrintable(QString("%1 for %2").arg(high).arg(vonMises)));
    QCOMPARE(session.item("legendLow")["text"].toString().toDouble() >= 0, true);

    QVERIFY(session.click("fe.frontView"));
    const QImage stresses = session.grab("fe.viewArea");
    stresses.save(QDir::temp().filePath("folvane-results-vonmises.png"));
    QVERIFY(session.choose("colourBy", 2));  // Plain, Region, Thickness
    QVERIFY(session.waitForItem("legendName", [](const QJsonObject& o) { return o["text"] == "Thickness (mm)"; }));
    const QImage thickness = session.grab("fe.viewArea");
    thickness.save(QDir::temp().filePath("folvane-results-thickness.png"));
    QVERIFY2(differing(stresses, thickness) > 0.02, qPrintable(QString::number(differing(stresses, thickness))));
    // Strains keep their sign, and the legend says how.
    QVERIFY(session.choose("colourBy", 6));  // ... Ply count, Displacement, von Mises, Strain ε11
    QVERIFY(session.waitForItem("legendName", [](const QJsonObject& o) { return o["text"] == "Strain ε11"; }));
    QCOMPARE(session.item("legendNote")["text"].toString(), QString("(ply value of largest magnitude, signed)"));
    const double low = session.item("legendLow")["text"].toString().toDouble();
    QVERIFY2(std::abs(low / strain - 1) < 1e-3, qPrintable(QString("%1 for %2").arg(low).arg(strain)));
    session.screenshot(QDir::temp().filePath("folvane-results-strain.png"));

    // A click on the blade says what the element there holds.
    const QJsonArray r = session.item("fe.viewArea")["rect"].toArray();
    session.clickAt(r[0].toInt() + r[2].toInt() / 2, r[1].toInt() + r[3].toInt() / 2);
    QVERIFY(session.waitForItem("elementInfo.0", [](const QJsonObject& o) { return o["text"].toString().startsWith("Element "); }));
    QVERIFY(session.item("elementInfo.1")["text"].toString().contains(" plies, "));

    // The span plots of these results, as -plot draws them.
    QVERIFY(session.click("plotAction"));
    QVERIFY(session.waitForWindow("Span Plots"));
    QVERIFY(session.waitForItem("spanPlotImage"));
    QTRY_VERIFY_WITH_TIMEOUT(session.item("plotStatus").isEmpty(), 30000);
    QSize plotArea;
    const QRect drawn = session.drawnBox("spanPlotImage", &plotArea);
    QVERIFY2(drawn.width() > plotArea.width() / 2, qPrintable(QString("%1 in %2").arg(drawn.width()).arg(plotArea.width())));
    session.screenshot(QDir::temp().filePath("folvane-results-plots.png"));
    QVERIFY(session.closeWindow("Span Plots"));

    // A modal run shows its first mode.
    QVERIFY(session.activateWindow("Analysis Setting"));
    QVERIFY(session.choose("analysisKind", 2));
    QVERIFY(setField(session, "analysisModes", "3"));
    QVERIFY(session.click("runAnalysis"));
    QVERIFY(progressSays(session, "Finished"));
    QVERIFY(session.waitForItem("legendName", [](const QJsonObject& o) { return o["text"].toString().startsWith("Mode 1: "); }));
    session.grab("fe.viewArea").save(QDir::temp().filePath("folvane-results-mode1.png"));

    QVERIFY(session.closeWindow("FE Model"));
    QVERIFY(session.closeWindow("Analysis Setting"));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
}

QTEST_MAIN(TestResultsView)
#include "tst_resultsview.moc"
