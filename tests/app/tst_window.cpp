#include "capture.h"
#include "app/messagelog.h"
#include "app/windowmode.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "geometry/kprofilelist.h"

#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

// The window mode as main runs it, within the test: a document, possibly
// read from a path, published to the main window.
class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        isolateHome();
        registerQmlTypes();
    }
    void titleShowsTheModelFile();
    void unreadableFileStillOpensTheWindow();
    void paneTakesTheDocumentsMessages_data();
    void paneTakesTheDocumentsMessages();
};

void TestWindow::titleShowsTheModelFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("blade.fvm");
    {
        KBlade source;
        source.setting()->setBladeName("From File");
        source.setFp(path);
        QuietDebug quiet;
        source.writeFile();
    }
    auto blade = std::make_unique<KBlade>();
    blade->setFp(path);
    Capture capture;
    blade->readFile();
    auto engine = std::make_unique<QQmlApplicationEngine>();
    loadMainWindow(*engine, *blade);
    auto* window = qobject_cast<QQuickWindow*>(engine->rootObjects().value(0));
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->title(), "Folvane Demo v0.76 - " + path);
    QCOMPARE(window->size(), QSize(1100, 760));
    QCOMPARE(blade->bladeName(), QString("From File"));
    // Opening a model file from the window gives the shorter title.
    QMetaObject::invokeMethod(window, "showDocument");
    QCOMPARE(window->title(), "Folvane - " + path);
    QTest::qWait(500);
    // It quits cleanly: the window goes before the document it shows.
    engine.reset();
    blade.reset();
    QVERIFY(!capture.debugLines().contains("Cannot open " + path));
}

void TestWindow::unreadableFileStillOpensTheWindow()
{
    QTemporaryDir dir;
    // A path that does not exist yet stays the document's path; a damaged
    // file is forgotten so that a save cannot overwrite it.
    const QString missing = dir.filePath("missing.fvm");
    const QString damaged = dir.filePath("damaged.fvm");
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a model file");
    file.close();
    for (const auto& [path, title] : {std::pair(missing, missing), std::pair(damaged, QString())}) {
        KBlade blade;
        Capture capture;
        openGivenFile(blade, path);
        QCOMPARE(capture.debugLines().size(), 1);
        QVERIFY(capture.debugLines().at(0).startsWith("Cannot "));
        QCOMPARE(blade.hasFP(), path == missing);
        QQmlApplicationEngine engine;
        loadMainWindow(engine, blade);
        auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().value(0));
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->title(), "Folvane Demo v0.76 - " + title);
        QCOMPARE(blade.profiles()->count(), 5);
        QCOMPARE(blade.bladeName(), QString("NewBlade"));
        // The 3D views finish starting before the window goes.
        QTest::qWait(500);
    }
    QCOMPARE(file.size(), qint64(16));
}

// Only the document's messages reach the pane (and the status bar); Qt's
// own, and the QML engine's, stay on the console.
void TestWindow::paneTakesTheDocumentsMessages_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("category");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shown");
    const int standardOutput = -1;
    QTest::newRow("document, debug stream") << int(QtDebugMsg) << QByteArray("default")
                                            << "KBlade - genFEModel: no FE model was built" << true;
    QTest::newRow("document, standard output") << standardOutput << QByteArray() << "Analysis finished" << true;
    QTest::newRow("platform warning") << int(QtWarningMsg) << QByteArray("qt.qpa.xcb")
                                      << "QXcbConnection: XCB error: 3 (BadWindow), sequence: 1, resource id: 2" << false;
    QTest::newRow("Qt's debug line") << int(QtDebugMsg) << QByteArray("qt.scenegraph.general") << "threaded render loop"
                                     << false;
    QTest::newRow("QML error") << int(QtWarningMsg) << QByteArray("default")
                               << "qrc:/windows/web_win/Web_Win.qml:25: TypeError: Cannot read property 'SonNames' of null"
                               << false;
}

void TestWindow::paneTakesTheDocumentsMessages()
{
    QFETCH(int, type);
    QFETCH(QByteArray, category);
    QFETCH(QString, text);
    QFETCH(bool, shown);
    MessageLog log;
    const QMessageLogger logger(nullptr, 0, nullptr, category.constData());
    if (type == QtDebugMsg)
        logger.debug("%s", qPrintable(text));
    else if (type == QtWarningMsg)
        logger.warning("%s", qPrintable(text));
    else
        outLine(text);
    QCOMPARE(log.lines(), shown ? QStringList{text} : QStringList());
    QCOMPARE(log.last(), shown ? text : QString());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
