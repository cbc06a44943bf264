#include "capture.h"
#include "program.h"

#include <QTemporaryDir>
#include <QtTest>

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
    ProgramRun run = runProgram({"-autowebopt", dir.filePath("none.fvm"), first}, home);
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
    QVERIFY(runProgram({"-autowebopt", "none.fvm", "blade.fvm"}, home, dir.path()).exitCode == 0);
    QVERIFY(QFile::rename(dir.filePath("blade.fvm"), dir.filePath("-blade.fvm")));
    // Qt's own window options still reach the window, and a file whose name
    // begins with '-' opens as ./-name.
    const ProgramRun run = runProgram({"-platform", "offscreen", "./-blade.fvm"}, home, dir.path(), 60000,
                                      "Loaded ./-blade.fvm\n");
    QVERIFY2(run.stillRunning, qPrintable(run.err));
    QVERIFY2(run.err.contains("Loaded ./-blade.fvm\n"), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestModes)
#include "tst_modes.moc"
