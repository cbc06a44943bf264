#include "app/windowmode.h"

#include "blade/kblade.h"
#include "blade/koptsetting.h"
#include "core/linker.h"

#include <QFont>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>

namespace Folvane {

void registerQmlTypes()
{
    qmlRegisterType<KBlade>("Folvane", 0, 1, "KBlade");
    qmlRegisterType<Linker>("Folvane", 0, 1, "Linker");
    qmlRegisterType<KObjective>("Folvane", 0, 1, "Objective");
}

void loadMainWindow(QQmlApplicationEngine& engine, KBlade& blade)
{
    engine.rootContext()->setContextProperty(QStringLiteral("kblade"), &blade);
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

    QQmlApplicationEngine engine;
    KBlade blade;
    if (argc == 2) {
        blade.setFp(QString::fromLocal8Bit(argv[1]));
        blade.readFile();
    }
    loadMainWindow(engine, blade);
    return app.exec();
}

} // namespace Folvane
