#include "capture.h"
#include "core/messages.h"
#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "fem/model.h"
#include "solver/ccxanalyser.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

// The default blade's decks, for each load case and both element shapes,
// solved by the real CalculiX and read back.
class TestCalculix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void solvesTheDefaultBlade();
    void threadsReachTheSolver();
};

void TestCalculix::solvesTheDefaultBlade()
{
    for (int loadCase : {0, 1}) {
        double tips[2] = {0, 0};
        for (bool quadDominant : {true, false}) {
            QTemporaryDir dir;
            KBlade blade;
            blade.setting()->setMeshBySize(quadDominant);
            {
                QuietDebug quiet;
                blade.genFEModel();
            }
            blade.anaSet()->setType(KAnalysis::Calculix);
            blade.anaSet()->setProDir("ccx");
            blade.anaSet()->setWorkDir(dir.path());
            {
                Capture capture;
                QVERIFY(blade.runLoadCase(loadCase));
                QVERIFY(capture.outLines().contains("Reading results finished"));
            }
            // Every element has its stresses, the webs' single-ply triangles
            // (nine points to a ply) among them.
            const Model& model = *blade.feModel();
            int singlePlyTriangles = 0;
            for (int i = 0; i < model.elements().count(); ++i) {
                const Element* e = model.elements().at(i);
                QVERIFY(e->summary(loadCase)[Element::VonMises] > 0);
                singlePlyTriangles += e->kind() == Element::TriKind && e->plyCount() == 1;
            }
            QVERIFY(quadDominant || singlePlyTriangles > 0);
            const Eigen::MatrixXd deflections = blade.stationDeflections(loadCase);
            tips[quadDominant ? 0 : 1] = deflections(deflections.rows() - 1, 2);
        }
        // Both meshes of the blade bend it alike.
        QVERIFY2(std::abs(tips[1] / tips[0] - 1) < 0.1, qPrintable(QString("%1 %2").arg(tips[0]).arg(tips[1])));
    }
}

// The thread count reaches every stage of CalculiX, which says so, and the
// answer does not depend on it (to rounding: threads sum in another order).
void TestCalculix::threadsReachTheSolver()
{
    KBlade blade;
    {
        QuietDebug quiet;
        blade.genFEModel();
    }
    Model& model = *blade.feModel();
    double tips[2] = {0, 0};
    for (int threads : {1, 2}) {
        QTemporaryDir dir;
        CCXAnalyser analyser(&model, dir.path(), "ccx");
        analyser.setThreads(threads);
        QStringList lines;
        analyser.setProgress([&](const QString& line) { lines << line; });
        QuietDebug quiet;
        QVERIFY(analyser.RunLoadCase(0));
        const QString stages = QString("Using up to %1 cpu(s) for ").arg(threads);
        for (const char* stage : {"setting up the structure of the matrix.", "the stress calculation.",
                                  "the symmetric stiffness/mass contributions.", "spooles."})
            QVERIFY2(lines.contains(stages + stage), qPrintable(stages + stage));
        for (int i = 0; i < model.nodes().count(); ++i)
            tips[threads - 1] = std::max(tips[threads - 1], std::abs(model.nodes().at(i)->displacementOf(0)(1)));
    }
    QVERIFY2(std::abs(tips[1] / tips[0] - 1) < 1e-9, qPrintable(QString("%1 %2").arg(tips[0], 0, 'g', 17).arg(tips[1], 0, 'g', 17)));
}

QTEST_GUILESS_MAIN(TestCalculix)
#include "tst_calculix.moc"
