// Sessions with the real window, driven as a user drives it: mouse clicks
// and keys through the window manager, what the window shows read as the
// user sees it, and the files and exit code it leaves.

#include "capture.h"
#include "session.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"

#include <QtTest>

using namespace Folvane;

namespace {

// A model file of the default blade with the given name.
QString writeModel(const QString& path, const QString& bladeName)
{
    KBlade blade;
    blade.setting()->setBladeName(bladeName);
    blade.setFp(path);
    QuietDebug quiet;
    blade.writeFile();
    return path;
}

} // namespace

class TestSessions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void closingEndsCleanly();
    void newAfterOpen();
};

// Closing the main window ends the program with 0, whatever was opened and
// built before.
void TestSessions::closingEndsCleanly()
{
    Session plain;
    QVERIFY(plain.started());
    QVERIFY(plain.closeWindow("Folvane"));
    QCOMPARE(plain.finish(), 0);

    QTemporaryDir dir;
    Session built({writeModel(dir.filePath("blade.fvm"), "Closing")});
    QVERIFY(built.started());
    QVERIFY(built.click("feAction"));
    QVERIFY(built.waitForWindow("FE Model"));
    QVERIFY(built.closeWindow("FE Model"));
    QVERIFY(built.waitForWindow("FE Model", false));
    QVERIFY(built.closeWindow("Folvane"));
    QCOMPARE(built.finish(), 0);
}

// New replaces the document the profile view shows: the view switches over
// before the old renderers go.
void TestSessions::newAfterOpen()
{
    QTemporaryDir dir;
    Session session({writeModel(dir.filePath("blade.fvm"), "Before New")});
    QVERIFY(session.started());
    QVERIFY(session.click("newAction"));
    QVERIFY(session.click("newAction"));
    QTest::qWait(1000);
    QVERIFY(session.waitForItem("newAction"));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
}

QTEST_MAIN(TestSessions)
#include "tst_sessions.moc"
