// Opens the main window, every editor and the FE view in turn, then runs
// the default blade's first load case from the analysis window and shows
// its results and span plots, and takes a screenshot of the whole (virtual)
// screen after each with ImageMagick's import. Run under xvfb-run by
// scripts/screenshots.sh, whose analysis settings run CalculiX.

#include "app/analysisrunner.h"
#include "app/spanplotter.h"
#include "app/windowmode.h"
#include "blade/kblade.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <cstdio>

using namespace Folvane;

static void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

static void shoot(const QString& folder, const QString& name)
{
    wait(1500);
    const QString file = folder + "/" + name + ".png";
    QProcess::execute("import", {"-window", "root", file});
    std::printf("%s\n", qPrintable(file));
}

// Opens the editor window of the given title as its button would.
static QQuickWindow* openEditor(QObject* root, const QString& title)
{
    for (QQuickWindow* w : root->findChildren<QQuickWindow*>()) {
        if (w->title() == title) {
            if (w->metaObject()->indexOfMethod("openEditor()") >= 0)
                QMetaObject::invokeMethod(w, "openEditor");
            else
                w->show();
            return w;
        }
    }
    std::printf("no window %s\n", qPrintable(title));
    return nullptr;
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName("Folvane");
    QGuiApplication::setApplicationName("Folvane");
    QFont font;
    font.setPointSize(12);
    QGuiApplication::setFont(font);
    registerQmlTypes();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    // The document outlives the windows that show it.
    KBlade blade;
    QQmlApplicationEngine engine;
    loadMainWindow(engine, blade);
    QObject* root = engine.rootObjects().value(0);
    if (!root)
        return 1;
    shoot(folder, "00-main");

    const char* titles[] = {"Parameter Manager", "Blade Setting", "Profile Manager", "Region Location Manager",
                            "Web Manager", "Material Manager", "Laminate Manager", "Single Layer Manager",
                            "Region Layup Manager", "Load Manager", "Mesh Manager", "Optimisation Setting",
                            "Sample Setting", "Analysis Setting"};
    int n = 1;
    for (const char* title : titles) {
        QQuickWindow* window = openEditor(root, QLatin1String(title));
        shoot(folder, QStringLiteral("%1-%2").arg(n++, 2, 10, QLatin1Char('0')).arg(QString(title).remove(' ')));
        if (window)
            window->close();
    }
    QMetaObject::invokeMethod(root, "showFEModel");
    wait(3000);
    shoot(folder, QStringLiteral("%1-FEView").arg(n++, 2, 10, QLatin1Char('0')));

    auto* analysis = qobject_cast<AnalysisRunner*>(engine.rootContext()->contextProperty("analysis").value<QObject*>());
    auto* plotter = qobject_cast<SpanPlotter*>(engine.rootContext()->contextProperty("plotter").value<QObject*>());
    if (!plotter)
        return 1;
    plotter->setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/folvane"));
    if (!analysis || !analysis->start(0, 0, 5))
        return 1;
    QElapsedTimer clock;
    clock.start();
    while (analysis->running() && clock.elapsed() < 120000)
        wait(200);
    shoot(folder, QStringLiteral("%1-Results").arg(n++, 2, 10, QLatin1Char('0')));
    for (QQuickWindow* w : root->findChildren<QQuickWindow*>())
        if (w->title() == QLatin1String("Span Plots"))
            QMetaObject::invokeMethod(w, "showResults");
    wait(3000);
    shoot(folder, QStringLiteral("%1-SpanPlots").arg(n, 2, 10, QLatin1Char('0')));
    return 0;
}
