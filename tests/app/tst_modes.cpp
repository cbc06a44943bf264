#include "capture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
    bool stillRunning = false;
};

// Runs the program with a home folder of its own. A run that is still going
// after waitMs (the window mode) is stopped and reported as running.
Run runProgram(const QStringList& arguments, const QString& home, int waitMs = 30000)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    // The window needs OpenGL: the suite runs these tests on a virtual X display.
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    process.start(FOLVANE_BINARY, arguments);
    Run run;
    if (!process.waitForFinished(waitMs)) {
        run.stillRunning = process.state() == QProcess::Running;
        process.kill();
        process.waitForFinished();
    } else {
        run.exitCode = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestModes : public QObject
{
    Q_OBJECT

private slots:
    void resaveModes();
    void windowModeOpensGivenFile();
};

void TestModes::resaveModes()
{
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QDir().mkpath(home);
    const QString first = dir.filePath("first.fvm");

    // A missing input still writes the default document, and returns 0.
    Run run = runProgram({"-autowebopt", dir.filePath("none.fvm"), first}, home);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, "Cannot open " + dir.filePath("none.fvm") + "\nWrite to " + first + "\n");
    QCOMPARE(run.out, home + "/FVanalysis.settingAnalysis setting file saved!\n");
    QVERIFY(QFileInfo(first).size() > 10000);

    run = runProgram({"-autolayupopt", first, "1", "2", dir.filePath("second.fvm")}, home);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, "Loaded " + first + "\nWrite to " + dir.filePath("second.fvm") + "\n");
    QCOMPARE(run.out, home + "/FVanalysis.setting is loaded!\n");

    run = runProgram({"-autokpopt", dir.filePath("second.fvm"), dir.filePath("third.fvm"), "1", "2", "3", "4",
                      "5", "6", "7", "8"}, home);
    QCOMPARE(run.exitCode, 0);
    QFile second(dir.filePath("second.fvm"));
    QFile third(dir.filePath("third.fvm"));
    QVERIFY(second.open(QIODevice::ReadOnly) && third.open(QIODevice::ReadOnly));
    QCOMPARE(third.readAll(), second.readAll());
}

void TestModes::windowModeOpensGivenFile()
{
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QDir().mkpath(home);
    // An option word alone is a document path in the window mode.
    Run run = runProgram({"-analyse"}, home, 3000);
    QVERIFY(run.stillRunning);
    QVERIFY2(run.err.contains("Cannot open -analyse\n"), qPrintable(run.err));

    // "-autokpopt" with too few arguments falls through to the window mode
    // and opens no file; so does "-debug" with a further argument.
    for (const QStringList& arguments : {QStringList({"-autokpopt", "a", "b", "1", "2", "3", "4", "5"}),
                                         QStringList({"-debug", "x"})}) {
        run = runProgram(arguments, home, 3000);
        QVERIFY(run.stillRunning);
        QVERIFY2(!run.err.contains("Cannot open") && !run.err.contains("Write to"), qPrintable(run.err));
        QVERIFY(!QFile::exists("a") && !QFile::exists("b"));
    }
}

QTEST_GUILESS_MAIN(TestModes)
#include "tst_modes.moc"
