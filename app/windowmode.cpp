#include "app/windowmode.h"

#include "blade/kblade.h"
#include "blade/koptsetting.h"
#include "core/linker.h"

#include <QFont>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>

namespace Folvane {

int runWindowMode(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QGuiApplication app(argc, argv);
    QFont font;
    font.setPointSize(12);
    QGuiApplication::setFont(font);

    qmlRegisterType<KBlade>("Folvane", 0, 1, "KBlade");
    qmlRegisterType<Linker>("Folvane", 0, 1, "Linker");
    qmlRegisterType<KObjective>("Folvane", 0, 1, "Objective");

    QQmlApplicationEngine engine;
    KBlade blade;
    if (argc == 2) {
        blade.setFp(QString::fromLocal8Bit(argv[1]));
        blade.readFile();
    }
    engine.rootContext()->setContextProperty(QStringLiteral("kblade"), &blade);

    const QUrl mainUrl(QStringLiteral("qrc:/main.qml"));
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, &app,
        [mainUrl](QObject* object, const QUrl& url) {
            if (!object && url == mainUrl)
                QCoreApplication::exit(-1);
        },
        Qt::QueuedConnection);
    engine.load(mainUrl);
    return app.exec();
}

} // namespace Folvane
