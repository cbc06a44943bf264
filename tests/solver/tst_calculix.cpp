#include "capture.h"
#include "core/messages.h"
#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "fem/model.h"

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

QTEST_GUILESS_MAIN(TestCalculix)
#include "tst_calculix.moc"
