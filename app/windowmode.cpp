#include "app/windowmode.h"

#include "app/analysisrunner.h"
#include "app/messagelog.h"
#include "app/spanplotter.h"
#include "app/windowprobe.h"
#include "blade/kblade.h"
#include "blade/koptsetting.h"
#include "core/linker.h"

#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <cstring>

namespace Folvane {

void registerQmlTypes()
{
    qmlRegisterType<KBlade>("Folvane", 0, 1, "KBlade");
    qmlRegisterType<Linker>("Folvane", 0, 1, "Linker");
    qmlRegisterType<KObjective>("Folvane", 0, 1, "Objective");
}

void loadMainWindow(QQmlApplicationEngine& engine, KBlade& blade, MessageLog* log)
{
    engine.rootContext()->setContextProperty(QStringLiteral("kblade"), &blade);
    engine.rootContext()->setContextProperty(QStringLiteral("messages"), log ? log : new MessageLog(&engine));
    engine.rootContext()->setContextProperty(QStringLiteral("analysis"), new AnalysisRunner(&blade, &engine));
    engine.rootContext()->setContextProperty(QStringLiteral("plotter"), new SpanPlotter(&blade, &engine));
    const QUrl mainUrl(QStringLiteral("qrc:/main.qml"));
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, QCoreApplication::instance(),
        [mainUrl](QObject* object, const QUrl& url) {
            if (!object && url == mainUrl)
                QCoreApplication::exit(-1);
        },
        Qt::QueuedConnection);
    engine.load(mainUrl);
}

int windowOptionLength(char** args)
{
    // The options the application object, the X11 platform and Qt Quick's
    // style read; the first group takes a value.
    static const char* const withValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                            "qwindowgeometry", "geometry", "qwindowtitle", "title",
                                            "qwindowicon", "icon", "session", "display", "name", "visual",
                                            "style", "stylesheet", "qmljsdebugger"};
    static const char* const alone[] = {"reverse", "testability", "nograb", "dograb", "sync"};
    const char* word = args[0];
    if (word[0] != '-')
        return 0;
    word += word[1] == '-' ? 2 : 1;
    for (const char* option : withValue) {
        const size_t n = std::strlen(option);
        if (std::strncmp(word, option, n) != 0)
            continue;
        if (word[n] == '=')
            return 1;
        if (word[n] == '\0')
            return 2;
    }
    for (const char* option : alone) {
        if (std::strcmp(word, option) == 0)
            return 1;
    }
    return 0;
}

void openGivenFile(KBlade& blade, const QString& path)
{
    blade.setFp(path);
    // A path that does not exist yet is where a save goes; a file that
    // exists but is not a model is forgotten, so that a save never
    // overwrites it with the default document.
    if (!blade.readFile() && QFileInfo::exists(path)) {
        blade.setFp(QString());
        blade.setHasFP(false);
    }
}

int runWindowMode(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QGuiApplication app(argc, argv);
    // The file dialogs keep their settings under these names.
    QGuiApplication::setOrganizationName(QStringLiteral("Folvane"));
    QGuiApplication::setApplicationName(QStringLiteral("Folvane"));
    QFont font;
    font.setPointSize(12);
    QGuiApplication::setFont(font);
    registerQmlTypes();

    // The document outlives the interface that shows it: the engine (and
    // every binding to "kblade") goes first.
    KBlade blade;
    QQmlApplicationEngine engine;
    // The pane shows what reading the given file said, too.
    auto* log = new MessageLog(&engine);
    if (argc == 2)
        openGivenFile(blade, QString::fromLocal8Bit(argv[1]));
    loadMainWindow(engine, blade, log);
    if (qEnvironmentVariableIsSet("FOLVANE_PROBE"))
        new WindowProbe(qEnvironmentVariable("FOLVANE_PROBE"), &app);
    return app.exec();
}

} // namespace Folvane
