// Opens the main window, every editor and the FE view in turn and takes a
// screenshot of the whole (virtual) screen after each with ImageMagick's
// import. Run under xvfb-run by scripts/screenshots.sh.

#include "app/windowmode.h"
#include "blade/kblade.h"

#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlApplicationEngine>
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
            QMetaObject::invokeMethod(w, "openEditor");
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

    QQmlApplicationEngine engine;
    KBlade blade;
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
        if (window && QLatin1String(title) == QLatin1String("Analysis Setting"))
            window->show();
        shoot(folder, QStringLiteral("%1-%2").arg(n++, 2, 10, QLatin1Char('0')).arg(QString(title).remove(' ')));
        if (window)
            window->close();
    }
    QMetaObject::invokeMethod(root, "showFEModel");
    wait(3000);
    shoot(folder, QStringLiteral("%1-FEView").arg(n, 2, 10, QLatin1Char('0')));
    return 0;
}
