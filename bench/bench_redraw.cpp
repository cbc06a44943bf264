// The FE window's redraw on a large model under the machine's OpenGL (Mesa's
// software renderer on a virtual display): the default blade meshed to about
// 300,000 elements, coloured by thickness, then turned (views from another
// side) and zoomed step by step; each step is timed from the change to the
// first picture of the window that shows it. Run it on a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_redraw [mesh size [edges|faces]]
// (element edges drawn or not; by default as the window opens the mesh:
// without them when it is too fine to see them).

#include "app/windowmode.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "core/messages.h"
#include "geometry/kprofilelist.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QVector3D>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Folvane;

static void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The time from a change to the first picture of the window that differs
// from the one before it. The 3D view renders into the window on its own
// schedule, so swapped frames say nothing: the window is read back instead,
// as often as it can be (each read-back is part of the time measured).
static double shownAfter(QQuickWindow* window, const std::function<void()>& change)
{
    const QImage before = window->grabWindow();
    QElapsedTimer clock;
    clock.start();
    change();
    while (clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (window->grabWindow() != before)
            return clock.nsecsElapsed() * 1e-6;
    }
    return clock.nsecsElapsed() * 1e-6;
}

static void report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.1f ms   worst %7.1f ms   (%zu steps)\n", what, ms[ms.size() / 2], ms.back(), ms.size());
}

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Folvane"));
    QGuiApplication::setApplicationName(QStringLiteral("Folvane"));
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    registerQmlTypes();
    const double meshSize = argc > 1 ? QString::fromLatin1(argv[1]).toDouble() : 10.5;

    KBlade blade;
    blade.setting()->setMeshSize(meshSize);
    blade.profiles()->autoMesh();
    QQmlApplicationEngine engine;
    loadMainWindow(engine, blade);
    QObject* root = engine.rootObjects().value(0);
    if (!root)
        return 1;
    wait(1000);  // the main window on the screen first, as a user sees it
    QElapsedTimer clock;
    clock.start();
    {
        QuietDebug quiet;
        QMetaObject::invokeMethod(root, "showFEModel");
    }
    QQuickWindow* fe = nullptr;
    for (QQuickWindow* w : root->findChildren<QQuickWindow*>())
        if (w->title() == QLatin1String("FE Model"))
            fe = w;
    if (!fe || blade.elementCount() == 0)
        return 1;
    fe->findChild<QObject*>(QStringLiteral("colourBy"))->setProperty("currentIndex", 2);  // thickness
    QMetaObject::invokeMethod(fe, "redraw");
    std::printf("mesh size %g: %d elements; built and handed to the view in %.1f s\n", meshSize, blade.elementCount(),
                clock.nsecsElapsed() * 1e-9);
    wait(3000);
    if (!fe->isExposed()) {
        std::printf("the FE window is not on the screen\n");
        return 1;
    }
    QQuickItem* area = fe->findChild<QQuickItem*>(QStringLiteral("fe.viewArea"));
    if (!area) {
        std::printf("the FE window has no view\n");
        return 1;
    }
    QObject* view = area->parentItem()->parentItem();
    if (argc > 2)
        fe->findChild<QObject*>(QStringLiteral("showEdges"))->setProperty("checked", QByteArray(argv[2]) == "edges");
    std::printf("element edges %s\n", fe->findChild<QObject*>(QStringLiteral("showEdges"))->property("checked").toBool() ? "drawn" : "not drawn");

    {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 10; ++i)
            fe->grabWindow();
        std::printf("one read-back of the window: %.1f ms\n", t.nsecsElapsed() * 1e-7);
    }
    const QVector3D sides[][2] = {{{0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}}, {{-1, 0, 0}, {0, 0, 1}},
                                  {{1, 1, 1}, {0, 1, 0}}};
    std::vector<double> turns, zooms;
    for (int step = 0; step < 12; ++step) {
        const QVector3D* side = sides[step % 4];
        turns.push_back(shownAfter(fe, [&] {
            QMetaObject::invokeMethod(view, "lookFrom", Q_ARG(QVariant, side[0]), Q_ARG(QVariant, side[1]));
        }));
        zooms.push_back(shownAfter(fe, [&] {
            QMetaObject::invokeMethod(view, "zoomAt", Q_ARG(QVariant, 300.0), Q_ARG(QVariant, 200.0),
                                      Q_ARG(QVariant, step % 2 ? 1.25 : 0.8));
        }));
    }
    const QString picture = QDir::temp().filePath(QStringLiteral("folvane-redraw.png"));
    fe->grabWindow().save(picture);
    std::printf("the last picture: %s\n", qPrintable(picture));
    report("turn to the frame that shows it", turns);
    report("zoom to the frame that shows it", zooms);
    return 0;
}
