#include "app/windowmode.h"
#include "blade/kblade.h"

#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQuickTest>

using namespace Folvane;

// Gives the test files what the window mode gives main.qml: the module and
// a document published as "kblade".
class Setup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        registerQmlTypes();
    }
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        m_blade = std::make_unique<KBlade>();
        engine->rootContext()->setContextProperty(QStringLiteral("kblade"), m_blade.get());
    }
    void cleanupTestCase() { m_blade.reset(); }

private:
    QTemporaryDir m_home;
    std::unique_ptr<KBlade> m_blade;
};

QUICK_TEST_MAIN_WITH_SETUP(editors, Setup)
#include "tst_editors.moc"
