#include "capture.h"
#include "files.h"
#include "hostile.h"
#include "fem/model.h"
#include "solver/ansysanalyser.h"
#include "solver/ccxanalyser.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

namespace {

PlyStack pliesOf(Material* m, int count)
{
    PlyStack p;
    for (int i = 0; i < count; ++i) {
        p.materials.push_back(m);
        p.thicknesses.push_back(1);
        p.intPoints.push_back(3);
        p.angles.push_back(0);
    }
    return p;
}

// A quadrilateral of three plies and a triangle of two, with two load cases.
std::unique_ptr<Model> smallModel(const QString& name = "Job")
{
    auto model = std::make_unique<Model>(name);
    Model& m = *model;
    std::vector<Node*> n;
    for (int i = 0; i < 5; ++i)
        n.push_back(m.nodes().add(Node::DefaultName, i % 3, i / 3, 0));
    Element* quad = m.elements().addQuad(n[0], n[1], n[4], n[3], false, m.edges());
    Element* tri = m.elements().addTri(n[1], n[2], n[4], false, m.edges());
    m.numberEntities();
    auto* mat = new UniaxMaterial("M", 1, 1, {1000, 0.3}, &m);
    m.materials().add(mat);
    auto* three = new PolyLayer("Three", pliesOf(mat, 3), 1, &m);
    auto* two = new PolyLayer("Two", pliesOf(mat, 2), 1, &m);
    m.sections().add(three);
    m.sections().add(two);
    quad->setSection(three);
    tri->setSection(two);
    m.loads().add(new NodeLoad("Load-1", 0, {1, 2}, {0, 0}, {0, 0}, &m));
    m.initResults();
    return model;
}

// Integration-point lines of an element: row r holds r + base in each column.
QByteArray pointLines(int element, int rows, double base)
{
    QByteArray text;
    for (int r = 0; r < rows; ++r) {
        text += QByteArray::number(element).rightJustified(10) + QByteArray::number(r + 1).rightJustified(4);
        for (int c = 0; c < 6; ++c)
            text += ' ' + QByteArray::number(base + r + 10 * c, 'E', 6);
        text += " OR_shell_0000000001 \n";
    }
    return text;
}

QByteArray datFile(int quadRows, int triRows, const QByteArray& extraDisplacement = QByteArray())
{
    return "\n displacements (vx,vy,vz) for set NALL and time  0.1000000E+01\n\n"
           "         1  1.000000E-01 -2.000000E-01  3.000000E-01\n"
           "         2  0.000000E+00  0.000000E+00  0.000000E+00\n"
           "         3  0.000000E+00  0.000000E+00  0.000000E+00\n"
           "         4  0.000000E+00  0.000000E+00  0.000000E+00\n"
           "         5  5.000000E-01  5.500000E-01  5.600000E-01\n"
           "         9  9.000000E+00  9.000000E+00  9.000000E+00\n"
        + extraDisplacement
        + "\n stresses (elem, integ.pnt.,sxx,syy,szz,sxy,sxz,syz) for set EALL and time  0.1000000E+01\n\n"
        + pointLines(1, quadRows, 0) + pointLines(2, triRows, 100)
        + "\n strains (elem, integ.pnt.,exx,eyy,ezz,exy,exz,eyz) for set EALL and time  0.1000000E+01\n\n"
        + pointLines(1, quadRows, 1000) + pointLines(2, triRows, 2000);
}

bool readDat(Model& model, const QByteArray& text, int loadCase = 1)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ReadCCXResults(buffer, model, loadCase);
}

QByteArray f16(std::initializer_list<double> values)
{
    QByteArray text;
    for (double v : values)
        text += QByteArray::number(v, 'f', 8).rightJustified(16) + '\n';
    return text;
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void calculixResults();
    void calculixLayerMismatch();
    void calculixMalformedFiles_data();
    void calculixMalformedFiles();
    void ansysResults();
    void ansysShortAndMalformedFiles();
    void analysersWithAStandInSolver();
    void calculixHostileFiles();
    void calculixEigenFiles();
    void ansysHostileFiles();
};

void TestResults::calculixResults()
{
    auto model = smallModel();
    Capture capture;
    // 25 rows for three plies: 25 / 8 = 3, so rows 1 to 24 are used.
    QVERIFY(readDat(*model, datFile(25, 12)));
    QCOMPARE(capture.outLines(), QStringList({"Reading CCX data - Node displacement", "Reading CCX data - Element stress",
                                              "Reading CCX data - Element strain"}));
    const Node* first = model->nodes().at(0);
    QCOMPARE(first->displacement()(1, 1), -0.2);
    QCOMPARE(first->displacement()(3, 1), 0.0);  // rotations are not read
    QCOMPARE(first->displacement()(0, 0), 0.0);  // another load case
    QCOMPARE(model->nodes().at(4)->displacement()(2, 1), 0.56);

    // The deck lists plies last first, and so do the rows: the quadrilateral's
    // rows 1 to 8 (values 0 ... 7) are its third ply, 17 to 24 its first.
    const Element* quad = model->elements().at(0);
    QCOMPARE(quad->result(Element::S11)(1, 1), 11.5);
    QCOMPARE(quad->result(Element::S23)(2, 1), 3.5 + 50);
    QCOMPARE(quad->result(Element::S12)(0, 1), 19.5 + 30);
    // Shear strains come as tensor components: twice them is stored.
    QCOMPARE(quad->result(Element::E12)(0, 1), 2 * (1000 + 19.5 + 30));
    QCOMPARE(quad->result(Element::E23)(2, 1), 2 * (1000 + 3.5 + 50));
    QCOMPARE(quad->result(Element::E33)(2, 1), 1000 + 3.5 + 20);
    const Element* tri = model->elements().at(1);
    QCOMPARE(tri->result(Element::S22)(1, 1), 100 + 2.5 + 10);
    QCOMPARE(tri->result(Element::E33)(0, 1), 2000 + 8.5 + 20);
    // Von Mises of the first ply: s = (19.5, 29.5, 39.5, 49.5, 59.5, 69.5).
    const double vm = std::sqrt(0.5 * (100 + 100 + 400 + 6 * (49.5 * 49.5 + 59.5 * 59.5 + 69.5 * 69.5)));
    QCOMPARE(quad->result(Element::VonMises)(0, 1), vm);
    QCOMPARE(quad->summary(1)[Element::S11], 19.5);
}

void TestResults::calculixLayerMismatch()
{
    auto model = smallModel();
    Capture capture;
    QVERIFY(!readDat(*model, datFile(23, 12)));
    QCOMPARE(capture.outLines(), QStringList({"Reading CCX data - Node displacement", "Reading CCX data - Element stress",
                                              "0", "3 1", "Quad4 - LoadCCXResultStress: layernumber not correct"}));
    capture.clear();
    QVERIFY(!readDat(*model, datFile(24, 11)));
    QCOMPARE(capture.outLines().last(), QString("Tri3 - LoadCCXResultStress: layernumber not correct"));
    // The values read before the failure stay.
    QCOMPARE(model->elements().at(0)->result(Element::S11)(0, 1), 19.5);

    // A triangle of one ply is one wedge of nine points; of more, six each.
    PolyLayer single("Single", pliesOf(model->materials().at(0), 1), 1);
    model->elements().at(1)->setSection(&single);
    model->initResults();
    capture.clear();
    QVERIFY(!readDat(*model, datFile(24, 6)));
    QCOMPARE(capture.outLines().last(), QString("Tri3 - LoadCCXResultStress: layernumber not correct"));
    QVERIFY(readDat(*model, datFile(24, 9)));
    QCOMPARE(model->elements().at(1)->result(Element::S11)(0, 1), 104.0);
}

void TestResults::calculixMalformedFiles_data()
{
    QTest::addColumn<QByteArray>("dat");
    QTest::addColumn<QString>("message");
    QTest::newRow("node beyond the model") << datFile(24, 12, "        13  1.0 1.0 1.0\n")
                                           << "CCXAnalyser - ReadResults: line 10: node 13 is not in the model";
    QTest::newRow("node zero") << datFile(24, 12, "         0  1.0 1.0 1.0\n")
                               << "CCXAnalyser - ReadResults: line 10: node 0 is not in the model";
    QTest::newRow("not a number") << datFile(24, 12, "         2  1.0 x 1.0\n")
                                  << "CCXAnalyser - ReadResults: line 10: not a displacement";
    QTest::newRow("short line") << datFile(24, 12, "         2  1.0\n")
                                << "CCXAnalyser - ReadResults: line 10: not a displacement";
    QByteArray badElement = datFile(24, 12);
    badElement.replace("\n         2   1 ", "\n         7   1 ");
    QTest::newRow("element beyond the model") << badElement
                                              << "CCXAnalyser - ReadResults: line 37: element 7 is not in the model";
    QByteArray badValue = datFile(24, 12);
    badValue.replace(pointLines(1, 24, 0).left(30), "         1   1 nan(ind) 1.0E+00");
    QTest::newRow("value not a number") << badValue
                                        << "CCXAnalyser - ReadResults: line 13: not an integration point result";
}

void TestResults::calculixMalformedFiles()
{
    QFETCH(QByteArray, dat);
    QFETCH(QString, message);
    auto model = smallModel();
    Capture capture;
    QVERIFY(!readDat(*model, dat));
    QVERIFY2(capture.outLines().contains(message), qPrintable(capture.outLines().join('\n')));
    // A file that leaves any node or element without results is a run that
    // stopped part-way: an empty one, a foreign one, one without strains.
    const QString none = "CCXAnalyser - ReadResults: the file gives displacements of 0 of 5 nodes, "
                         "stresses of 0 and strains of 0 of 2 elements";
    for (const QByteArray& partial : {QByteArray(), QByteArray(1000, '\x01')}) {
        capture.clear();
        QVERIFY(!readDat(*model, partial));
        QCOMPARE(capture.outLines(), QStringList({none}));
    }
    const QByteArray full = datFile(24, 12);
    QVERIFY(!readDat(*model, full.left(full.indexOf("\n strains"))));
    QCOMPARE(capture.outLines().last(), QString("CCXAnalyser - ReadResults: the file gives displacements of 5 of 5 "
                                                "nodes, stresses of 2 and strains of 0 of 2 elements"));
    QVERIFY(!readDat(*model, datFile(24, 12), 2));  // a load case the model does not have
}

void TestResults::ansysResults()
{
    auto model = smallModel();
    // Corner nodes only: the sixth node's lines (a middle node) are not read.
    QByteArray nodes;
    for (int n = 0; n < 6; ++n)
        nodes += f16({n + 0.1, n + 0.2, n + 0.3, n + 0.4, n + 0.5, n + 0.6});
    QByteArray element[6];
    for (int f = 0; f < 6; ++f) {
        // Three layers per element (the largest stack); the triangle has two.
        for (int e = 0; e < 2; ++e)
            element[f] += f16({100.0 * f + 10 * e + 1, 100.0 * f + 10 * e + 2, 100.0 * f + 10 * e + 3});
    }
    QBuffer nodeFile(&nodes);
    nodeFile.open(QIODevice::ReadOnly);
    std::vector<std::unique_ptr<QBuffer>> files;
    for (QByteArray& text : element) {
        files.push_back(std::make_unique<QBuffer>(&text));
        files.back()->open(QIODevice::ReadOnly);
    }
    QVERIFY(ReadAnsysResults(nodeFile, {files[0].get(), files[1].get(), files[2].get(), files[3].get(),
                                        files[4].get(), files[5].get()},
                             *model, 1));
    QCOMPARE(model->nodes().at(4)->displacement()(5, 1), 4.6);
    QCOMPARE(model->nodes().at(0)->displacement()(3, 1), 0.4);
    const Element* quad = model->elements().at(0);
    const Element* tri = model->elements().at(1);
    // Layer 1 is the last ply (the deck lists them last first).
    QCOMPARE(quad->result(Element::S11)(2, 1), 1.0);
    QCOMPARE(quad->result(Element::S12)(0, 1), 203.0);
    QCOMPARE(quad->result(Element::E12)(1, 1), 502.0);
    // The triangle's third layer line is dropped: its rows start at its own block.
    QCOMPARE(tri->result(Element::S22)(0, 1), 112.0);
    QCOMPARE(tri->result(Element::E11)(1, 1), 311.0);
    QCOMPARE(tri->result(Element::S33)(1, 1), 0.0);
    const double s11 = 11, s22 = 111, s12 = 211;
    QCOMPARE(tri->result(Element::VonMises)(1, 1),
             std::sqrt(0.5 * ((s11 - s22) * (s11 - s22) + s22 * s22 + s11 * s11 + 6 * s12 * s12)));
}

void TestResults::ansysShortAndMalformedFiles()
{
    auto model = smallModel();
    QByteArray shortNodes = f16({1, 2, 3, 4, 5, 6, 7});
    QByteArray elements = f16({1, 2, 3, 4, 5, 6});
    QBuffer nodeFile(&shortNodes);
    nodeFile.open(QIODevice::ReadOnly);
    std::vector<std::unique_ptr<QBuffer>> files;
    QByteArray texts[6];
    for (QByteArray& t : texts) {
        t = elements;
        files.push_back(std::make_unique<QBuffer>(&t));
        files.back()->open(QIODevice::ReadOnly);
    }
    const std::array<QIODevice*, 6> six = {files[0].get(), files[1].get(), files[2].get(),
                                           files[3].get(), files[4].get(), files[5].get()};
    Capture capture;
    QVERIFY(!ReadAnsysResults(nodeFile, six, *model, 0));
    QCOMPARE(model->nodes().at(1)->displacement()(0, 0), 7.0);  // read so far, kept
    QCOMPARE(capture.outLines(), QStringList({"AnsysAnalyser - ReadResults: _Node.output ends early"}));

    QByteArray nodes;
    for (int n = 0; n < 5; ++n)
        nodes += f16({1, 2, 3, 4, 5, 6});
    QBuffer goodNodes(&nodes);
    goodNodes.open(QIODevice::ReadOnly);
    texts[2] = f16({1, 2}) + "****************\n" + f16({4, 5, 6});
    files[2]->close();
    files[2]->open(QIODevice::ReadOnly);
    capture.clear();
    QVERIFY(!ReadAnsysResults(goodNodes, six, *model, 0));
    QCOMPARE(capture.outLines(), QStringList({"AnsysAnalyser - ReadResults: line 3 of _EleS12.output is not a number"}));
}

void TestResults::analysersWithAStandInSolver()
{
    QTemporaryDir dir;
    const QString work = dir.filePath("work dir");
    QDir().mkpath(work);
    auto model = smallModel("Job");
    // The stand-in records how it was started and writes the seven files.
    QDir().mkpath(dir.filePath("results"));
    QByteArray nodes;
    for (int n = 0; n < 5; ++n)
        nodes += f16({0.25, -1, 0, 0, 0, 0});
    writeBytes(dir.filePath("results/Job_Node.output"), nodes);
    for (const char* suffix : {"_EleS1", "_EleS2", "_EleS12", "_EleE1", "_EleE2", "_EleE12"})
        writeBytes(dir.filePath(QString("results/Job%1.output").arg(suffix)), f16({1, 2, 3, 4, 5, 6}));
    const QString standIn = dir.filePath("ansys stand-in.sh");
    writeBytes(standIn, QString("#!/bin/sh\npwd > started.txt\necho \"$@\" >> started.txt\n"
                               "test -f Job.inp && cp '%1'/* .\n").arg(dir.filePath("results")).toUtf8());
    QFile::setPermissions(standIn, QFile::permissions(standIn) | QFile::ExeOwner);

    // Results left by an earlier run never pass for this one's.
    writeBytes(work + "/Job_Node.output", "stale");
    Capture capture;
    AnsysAnalyser analyser(model.get(), work, standIn);
    analyser.setThreads(3);
    QVERIFY(analyser.RunLoadCase(0));
    QFile started(work + "/started.txt");
    QVERIFY(started.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(started.readAll()), work + "\n-b -np 3 -i Job.inp -o Job.out\n");
    QCOMPARE(model->nodes().at(2)->displacement()(1, 0), -1.0);
    QVERIFY(QFile::exists(work + "/Job.inp"));  // the solver's files stay for inspection
    QCOMPARE(capture.outLines(), QStringList({"Starting analysis of Job: Load case 1", "Analysis finished",
                                              "Reading results finished"}));

    // A solver that produces nothing: the case fails, RunAll goes on and says so.
    auto second = smallModel("Job");
    second->loads().add(new NodeLoad("Load-2", 1, {1, 2}, {0, 0}, {0, 0}));
    AnsysAnalyser failing(second.get(), work, "/bin/true");
    capture.clear();
    QVERIFY(!failing.RunAll());
    QCOMPARE(capture.outLines(), QStringList({"Starting analysis of Job: Load case 1", "Analysis finished",
                                              "Cannot read the results", "Starting analysis of Job: Load case 2",
                                              "Analysis finished", "Cannot read the results",
                                              "All analysis finished!"}));
    capture.clear();
    CCXAnalyser missing(model.get(), work, dir.filePath("no-such-solver"));
    QVERIFY(!missing.RunLoadCase(0));
    QVERIFY(capture.outLines().contains("Analyser - RunLoadCase: job Job, load case 1 failed: cannot start "
                                        + dir.filePath("no-such-solver")));

    // CalculiX stand-ins that fail: an input error reported with exit code 0
    // (results of an earlier run around), and an exit code alone. Both fail
    // the case, naming the job and quoting the first error.
    writeBytes(work + "/Job.dat", datFile(24, 12));
    const QString reports = dir.filePath("reports.sh");
    writeBytes(reports, "#!/bin/sh\necho ' Using up to 1 cpu(s)'\necho ' *ERROR reading *SHELL SECTION: "
                        "nonexistent orientation'\necho ' *ERROR in second place'\ntouch Job.dat\n");
    const QString exits = dir.filePath("exits.sh");
    writeBytes(exits, "#!/bin/sh\necho 'something went wrong' >&2\nexit 201\n");
    for (const QString& script : {reports, exits})
        QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
    capture.clear();
    CCXAnalyser reporting(model.get(), work, reports);
    QVERIFY(!reporting.RunLoadCase(0));
    QCOMPARE(capture.outLines(), QStringList({"Starting analysis of Job: Load case 1", " Using up to 1 cpu(s)",
                                              " *ERROR reading *SHELL SECTION: nonexistent orientation",
                                              " *ERROR in second place", "Analysis finished",
                                              "Analyser - RunLoadCase: job Job, load case 1 failed: *ERROR reading "
                                              "*SHELL SECTION: nonexistent orientation",
                                              "Cannot read the results"}));
    capture.clear();
    CCXAnalyser exiting(model.get(), work, exits);
    QVERIFY(!exiting.RunLoadCase(0));
    QCOMPARE(capture.outLines(), QStringList({"Starting analysis of Job: Load case 1", "something went wrong",
                                              "Analysis finished",
                                              "Analyser - RunLoadCase: job Job, load case 1 failed: the solver "
                                              "exited with code 201",
                                              "Cannot read the results"}));

    // Without loads there is nothing to run, and that is a success.
    Model empty("Empty");
    capture.clear();
    CCXAnalyser none(&empty, work, "ccx");
    QVERIFY(none.RunAll());
    QCOMPARE(capture.outLines(), QStringList({"All analysis finished!"}));
    QCOMPARE(capture.debugLines(), QStringList({"NodeLoadList - ReadLoadNum: no load defined!"}));

    // Cleaning, when asked for, removes the job's files and the ANSYS extras.
    writeBytes(work + "/file.lock", "x");
    analyser.setCleanAfterRun(true);
    capture.clear();
    QVERIFY(analyser.RunLoadCase(0));
    QCOMPARE(capture.outLines().last(), QString("Files Cleaned"));
    QVERIFY(!QFile::exists(work + "/Job.inp") && !QFile::exists(work + "/file.lock"));
}

// Numbers in a text file made huge, negative or not numbers at all, one
// field at a time; the other damage is byte-level.
QByteArray fieldReplaced(const QByteArray& text, std::mt19937& random)
{
    static const QByteArray values[] = {"99999999999", "-1", "0", "2147483648", "1e308", "nan", "-inf", "x", ""};
    QList<QByteArray> lines = text.split('\n');
    std::uniform_int_distribution<int> anyLine(0, lines.size() - 1);
    QByteArray& line = lines[anyLine(random)];
    QList<QByteArray> fields = line.simplified().split(' ');
    fields[std::uniform_int_distribution<int>(0, fields.size() - 1)(random)] =
        values[std::uniform_int_distribution<int>(0, std::size(values) - 1)(random)];
    line = fields.join(' ');
    return lines.join('\n');
}

void TestResults::calculixHostileFiles()
{
    const QByteArray good = datFile(24, 12);
    auto model = smallModel();
    QList<QByteArray> damaged;
    for (int cut = 0; cut < good.size(); ++cut)
        damaged << good.left(cut);
    std::mt19937 random(5);
    for (int i = 0; i < 1500; ++i)
        damaged << (i % 2 ? flipped(good, random) : fieldReplaced(good, random));
    damaged << QByteArray(100000, 'x') << good + QByteArray(10000, '\n') + good;
    int refused = 0;
    {
        Capture capture;
        for (const QByteArray& dat : damaged) {
            capture.clear();
            if (!readDat(*model, dat)) {
                ++refused;
                QVERIFY(!capture.outLines().isEmpty());
            }
        }
    }
    // The model takes a whole file afterwards as if nothing had happened.
    QVERIFY(readDat(*model, good));
    QCOMPARE(model->nodes().at(4)->displacement()(2, 1), 0.56);
    QCOMPARE(model->elements().at(0)->result(Element::S11)(1, 1), 11.5);
    qInfo("%d damaged .dat files, %d refused", int(damaged.size()), refused);
}

void TestResults::ansysHostileFiles()
{
    QByteArray good[7];
    for (int n = 0; n < 6; ++n)
        good[0] += f16({n + 0.1, n + 0.2, n + 0.3, n + 0.4, n + 0.5, n + 0.6});
    for (int f = 0; f < 6; ++f) {
        for (int e = 0; e < 2; ++e)
            good[f + 1] += f16({100.0 * f + 10 * e + 1, 100.0 * f + 10 * e + 2, 100.0 * f + 10 * e + 3});
    }
    auto model = smallModel();
    const auto read = [&](const QByteArray (&texts)[7]) {
        QByteArray copies[7];
        std::vector<std::unique_ptr<QBuffer>> files;
        for (int i = 0; i < 7; ++i) {
            copies[i] = texts[i];
            files.push_back(std::make_unique<QBuffer>(&copies[i]));
            files.back()->open(QIODevice::ReadOnly);
        }
        return ReadAnsysResults(*files[0], {files[1].get(), files[2].get(), files[3].get(), files[4].get(),
                                            files[5].get(), files[6].get()},
                                *model, 1);
    };
    std::mt19937 random(11);
    int tried = 0, refused = 0;
    auto capture = std::make_unique<Capture>();
    for (int f = 0; f < 7; ++f) {
        QByteArray texts[7];
        std::copy(std::begin(good), std::end(good), texts);
        QList<QByteArray> damaged;
        for (int cut = 0; cut < good[f].size(); ++cut)
            damaged << good[f].left(cut);
        for (int i = 0; i < 200; ++i)
            damaged << (i % 2 ? flipped(good[f], random) : fieldReplaced(good[f], random));
        damaged << QByteArray(100000, '7');
        for (const QByteArray& d : damaged) {
            texts[f] = d;
            capture->clear();
            ++tried;
            if (!read(texts)) {
                ++refused;
                QCOMPARE(capture->outLines().size(), 1);
                QVERIFY(capture->outLines()[0].startsWith("AnsysAnalyser - ReadResults: "));
            }
        }
    }
    capture.reset();
    QVERIFY(read(good));
    QCOMPARE(model->elements().at(0)->result(Element::S12)(0, 1), 203.0);
    qInfo("%d damaged ANSYS result files, %d refused", tried, refused);
}

// Frequency and buckling files: the eigenvalue table, then a shape per mode
// of every corner node (middle nodes skipped); anything else refused, named.
void TestResults::calculixEigenFiles()
{
    auto model = smallModel();
    const auto shape = [](int mode, const QByteArray& rows) {
        return "\n                    E I G E N V A L U E    N U M B E R     " + QByteArray::number(mode)
            + "\n\n\n displacements (vx,vy,vz) for set NALL and time  0.1000000E+01\n\n" + rows + "\n";
    };
    QByteArray rows;
    for (int n = 1; n <= 5; ++n)
        rows += QByteArray::number(n).rightJustified(10) + QByteArray(" %1E-01 0.0 -%1E-02\n").replace("%1", QByteArray::number(n));
    const QByteArray middle = "         9  9.0 9.0 9.0\n";
    const QByteArray table = "\n     E I G E N V A L U E   O U T P U T\n\n MODE NO    EIGENVALUE                       "
                             "FREQUENCY\n                                     REAL PART            IMAGINARY PART\n"
                             "                           (RAD/TIME)      (CYCLES/TIME     (RAD/TIME)\n\n"
                             "      1   0.3158706E+03   0.1777275E+02   0.2828621E+01   0.0000000E+00\n"
                             "      2   0.1400689E+04   0.3742578E+02   0.5956497E+01   0.0000000E+00\n\n";
    const auto read = [&](const QByteArray& text, bool buckling, EigenModes& modes) {
        QByteArray copy = text;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        return ReadCCXEigen(buffer, *model, buckling, modes);
    };
    EigenModes modes;
    Capture capture;
    QVERIFY(read(table + shape(1, rows + middle) + shape(2, rows), false, modes));
    QCOMPARE(modes.values, std::vector<double>({2.828621, 5.956497}));
    QCOMPARE(modes.shapes.rows(), 15);
    QCOMPARE(modes.shapes(3 * 4, 1), 0.5);
    QCOMPARE(modes.shapes(3 * 4 + 2, 1), -0.05);

    // A buckling file: its static block first, which is no shape.
    const QByteArray buckle = "\n displacements (vx,vy,vz) for set NALL and time  0.0000000E+00\n\n" + rows
        + "\n     B U C K L I N G   F A C T O R   O U T P U T\n\n MODE NO       BUCKLING\n                FACTOR\n\n"
          "      1   0.2723919E+02\n\n"
        + shape(1, rows);
    QVERIFY(read(buckle, true, modes));
    QCOMPARE(modes.values, std::vector<double>({27.23919}));

    const QByteArray shortShape = rows.left(rows.lastIndexOf("         5"));
    const std::pair<QByteArray, QString> refused[] = {
        {table + shape(1, rows) + shape(2, shortShape), "CCXAnalyser - ReadEigen: the shape of mode 2 gives 4 of 5 nodes"},
        {table + shape(1, rows) + shape(3, rows), "CCXAnalyser - ReadResults: line 24: a shape of mode 3, which the table does not give"},
        {shape(1, rows), "CCXAnalyser - ReadResults: line 2: a shape of mode 1, which the table does not give"},
        {QByteArray(table).replace("0.1777275E+02", "x"), "CCXAnalyser - ReadResults: line 8: not a row of the eigenvalue table"},
        {QByteArray(table).replace("      2   0.14", "      3   0.14"), "CCXAnalyser - ReadResults: line 9: mode 3 out of order"},
        {table + shape(1, rows + "        99  1.0 1.0 1.0\n"), "CCXAnalyser - ReadResults: line 22: node 99 is not in the model"},
        {buckle, "CCXAnalyser - ReadResults: line 18: a shape of mode 1, which the table does not give"},
        {rows, "CCXAnalyser - ReadEigen: the file gives no frequencies"}};
    for (const auto& [text, message] : refused) {
        capture.clear();
        QVERIFY(!read(text, false, modes));
        QCOMPARE(capture.outLines().value(0), message);
    }
}

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
