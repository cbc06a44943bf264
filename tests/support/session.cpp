#include "session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPoint>
#include <QRegularExpression>
#include <QThread>

namespace {

void run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(10000);
}

QString runOutput(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// One window manager for the display of the whole test process.
void ensureWindowManager()
{
    static QProcess* manager = nullptr;
    if (manager)
        return;
    manager = new QProcess;
    manager->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    manager->start("openbox", {"--sm-disable"});
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000 && !runOutput("wmctrl", {"-m"}).contains("Openbox"))
        QThread::msleep(100);
    // It names itself before it has finished starting.
    QThread::msleep(1000);
}

bool waitUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

// Waits until what is looked at is the same in two looks a few probes
// apart: a window the window manager is still placing, or an item in it.
bool standsStill(const std::function<QJsonValue()>& look, int ms)
{
    QJsonValue last;
    return waitUntil([&] {
        QThread::msleep(400);
        const QJsonValue now = look();
        const bool same = now == last;
        last = now;
        return same;
    }, ms);
}

// A window's title without the mark of unsaved changes.
QString unmarked(QString title)
{
    if (title.startsWith(QLatin1String("* ")))
        title.remove(0, 2);
    return title;
}

QPoint middleOf(const QJsonObject& o)
{
    const QJsonArray r = o.value("rect").toArray();
    return QPoint(r[0].toInt() + r[2].toInt() / 2, r[1].toInt() + r[3].toInt() / 2);
}

} // namespace

Session::Session(const QStringList& arguments)
{
    ensureWindowManager();
    QDir(m_dir.path()).mkpath("home");
    QDir(m_dir.path()).mkpath("work");
    QFile settings(path("home/FVanalysis.setting"));
    settings.open(QIODevice::WriteOnly);
    settings.write((path("work") + "\nccx\n2\n1\n").toUtf8());
    settings.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", path("home"));
    env.insert("FOLVANE_PROBE", path("probe.json"));
    env.remove("QT_QPA_PLATFORM");
    m_program.setProcessEnvironment(env);
    m_program.setWorkingDirectory(m_dir.path());
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    m_program.start(FOLVANE_BINARY, arguments);
    m_started = m_program.waitForStarted(10000) && waitForItem("newAction", {}, 60000);
    // Let the 3D views finish starting before anything is clicked.
    QThread::msleep(500);
}

Session::~Session()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished(10000);
    }
}

QJsonObject Session::probe() const
{
    QFile file(m_dir.filePath("probe.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

QJsonObject Session::item(const QString& name) const
{
    for (const QJsonValue& v : probe().value("items").toArray()) {
        if (v.toObject().value("name").toString() == name)
            return v.toObject();
    }
    return QJsonObject();
}

QList<QJsonObject> Session::items(const QString& prefix) const
{
    QList<QJsonObject> found;
    for (const QJsonValue& v : probe().value("items").toArray()) {
        if (v.toObject().value("name").toString().startsWith(prefix))
            found << v.toObject();
    }
    return found;
}

QJsonObject Session::window(const QString& title) const
{
    // A title marked "* " for unsaved changes is the same window.
    for (const QJsonValue& v : probe().value("windows").toArray()) {
        if (unmarked(v.toObject().value("title").toString()).startsWith(title))
            return v.toObject();
    }
    return QJsonObject();
}

bool Session::waitForItem(const QString& name, const std::function<bool(const QJsonObject&)>& until, int ms) const
{
    return waitUntil([&] {
        const QJsonObject o = item(name);
        return !o.isEmpty() && (!until || until(o));
    }, ms);
}

bool Session::waitForWindow(const QString& title, bool shown, int ms) const
{
    if (!waitUntil([&] { return window(title).isEmpty() != shown; }, ms))
        return false;
    // The window manager may still be placing a window just shown, and a
    // click aimed by its first place misses.
    return !shown || standsStill([&] { return window(title).value("rect"); }, ms);
}

bool Session::waitForOutput(const QString& text, int ms)
{
    return waitUntil([&] { return output().contains(text); }, ms);
}

// A window may open behind another one (the window manager decides): as a
// user would, the item's window is brought to the front before it is used.
void Session::bringForward(const QJsonObject& item)
{
    const QString title = unmarked(item.value("window").toString());
    if (title.isEmpty() || window(title).value("active").toBool())
        return;
    activateWindow(title);
    waitUntil([&] { return window(title).value("active").toBool(); }, 3000);
}

bool Session::click(const QString& name, int button)
{
    if (!waitForItem(name, [](const QJsonObject& o) { return o.value("enabled").toBool(); }))
        return false;
    bringForward(item(name));
    settle(item(name));
    const QPoint p = middleOf(item(name));
    clickAt(p.x(), p.y(), button);
    return true;
}

// A window just shown (a dialog above all) may still be moved into its place
// by the window manager, and a click aimed by its first place misses: the
// item is used once it stands still for two looks a few probes apart. A
// window seen standing at its place before needs no second look.
void Session::settle(const QJsonObject& item)
{
    const QString title = unmarked(item.value("window").toString());
    if (title.isEmpty() || m_settled.value(title) == window(title).value("rect"))
        return;
    const QString name = item.value("name").toString();
    standsStill([&] { return QJsonArray({window(title).value("rect"), this->item(name).value("rect")}); }, 60000);
    m_settled.insert(title, window(title).value("rect"));
}

bool Session::choose(const QString& combo, int index)
{
    const auto down = [](const QJsonObject& o) { return o.value("down").toBool(); };
    // A window busy drawing under the sanitizers may take many seconds to
    // answer a key: the waits are long, and cost nothing when it answers.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!click(combo))
            return false;
        waitForItem(combo, down, 15000);
        key("Escape");
        waitForItem(combo, [&](const QJsonObject& o) { return !down(o); }, 15000);
        key("Home");
        for (int i = 0; i < index; ++i)
            key("Down");
        if (waitForItem(combo, [&](const QJsonObject& o) { return o["currentIndex"] == index; }, 15000))
            return true;
    }
    qWarning("choose: %s stays %s", qPrintable(combo), QJsonDocument(item(combo)).toJson(QJsonDocument::Compact).constData());
    return false;
}

// (xdotool's mousemove --sync waits for ever when the pointer is there
// already: the move is given a moment instead.)
void Session::clickAt(int x, int y, int button)
{
    run("xdotool", {"mousemove", QString::number(x), QString::number(y), "sleep", "0.1", "click",
                    QString::number(button)});
    QThread::msleep(300);
}

void Session::scroll(const QString& name, int clicks, bool sideways)
{
    bringForward(item(name));
    const QPoint p = middleOf(item(name));
    QStringList arguments{"mousemove", QString::number(p.x()), QString::number(p.y()), "sleep", "0.1"};
    const QString button = sideways ? (clicks > 0 ? "7" : "6") : (clicks > 0 ? "5" : "4");
    for (int i = 0; i < std::abs(clicks); ++i)
        arguments << "click" << button;
    run("xdotool", arguments);
    QThread::msleep(300);
}

void Session::type(const QString& text)
{
    run("xdotool", {"type", "--delay", "30", "--", text});
    QThread::msleep(200);
}

void Session::key(const QString& keys)
{
    run("xdotool", {"key", "--delay", "50", keys});
    QThread::msleep(300);
}

bool Session::answerFileDialog(const QString& title, const QString& path)
{
    if (!waitForWindow(title))
        return false;
    // A loaded machine may map the dialog, or lay it out, after the program
    // reports it: the dialog in front first, and another go when the
    // typing went astray.
    for (int attempt = 0; attempt < 3; ++attempt) {
        activateWindow(title);
        QThread::msleep(300);
        // The location field runs along the top of the dialog.
        const QJsonArray r = window(title).value("rect").toArray();
        if (r.size() != 4)
            return false;
        clickAt(r[0].toInt() + r[2].toInt() / 2 + 40, r[1].toInt() + 21);
        key("ctrl+a");
        type(path);
        key("Return");
        if (waitForWindow(title, false, 8000))
            return true;
    }
    return false;
}

QString Session::windowId(const QString& title) const
{
    // Only mapped windows: the toolkit keeps an unmapped 1x1 window of the
    // program's name too, and the search order is not fixed. A loaded
    // machine may map a window a while after the program made it.
    QStringList ids;
    waitUntil([&] {
        ids = runOutput("xdotool", {"search", "--onlyvisible", "--name", "^(\\* )?" + QRegularExpression::escape(title)})
                  .split('\n', Qt::SkipEmptyParts);
        return !ids.isEmpty();
    }, 10000);
    return ids.isEmpty() ? QString() : ids.last();
}

bool Session::activateWindow(const QString& title)
{
    const QString id = windowId(title);
    if (id.isEmpty())
        return false;
    run("xdotool", {"windowactivate", "--sync", id});
    return true;
}

bool Session::closeWindow(const QString& title)
{
    const QString id = windowId(title);
    if (id.isEmpty())
        return false;
    // As the title bar's close button does: the window in front, then the
    // window manager asked to close it (a key would depend on the focus).
    run("xdotool", {"windowactivate", "--sync", id});
    run("wmctrl", {"-i", "-c", id});
    QThread::msleep(300);
    return true;
}

bool Session::openWindow(const QString& name, const QString& title)
{
    return click(name) && waitForWindow(title);
}

bool Session::closeAndWait(const QString& title)
{
    return closeWindow(title) && waitForWindow(title, false);
}

bool Session::retype(const QString& name, const QString& text)
{
    if (!click(name))
        return false;
    key("ctrl+a");
    type(text);
    return true;
}

void Session::screenshot(const QString& file) const
{
    run("import", {"-window", "root", file});
}

QRect Session::drawnBox(const QString& name, QSize* size) const
{
    const QString shot = m_dir.filePath("drawn.png");
    // The pointer out of the way (a tool tip would count as drawn).
    run("xdotool", {"mousemove", "0", "0"});
    // A view that was just opened, resized or turned may take a few frames
    // to settle: the same box twice running.
    QRect previous;
    QSize previousSize;
    for (int attempt = 0; attempt < 6; ++attempt) {
        QThread::msleep(800);
        const QJsonArray r = item(name).value("rect").toArray();
        if (r.size() != 4)
            return QRect();
        const QSize itemSize(r[2].toInt(), r[3].toInt());
        screenshot(shot);
        // Cropped to the item (less a pixel of border), near-white trimmed away.
        const QString crop = QString("%1x%2+%3+%4").arg(r[2].toInt() - 4).arg(r[3].toInt() - 4).arg(r[0].toInt() + 2).arg(r[1].toInt() + 2);
        const QStringList box = runOutput("convert", {shot, "-crop", crop, "+repage", "-fuzz", "8%", "-trim", "-format",
                                                      "%w %h %X %Y", "info:"})
                                    .split(' ', Qt::SkipEmptyParts);
        const QRect found = box.size() != 4 || box[0].toInt() <= 1
            ? QRect()
            : QRect(box[2].toInt() + 2, box[3].toInt() + 2, box[0].toInt(), box[1].toInt());
        if (attempt > 0 && found == previous && itemSize == previousSize)
            break;
        previous = found;
        previousSize = itemSize;
    }
    if (size)
        *size = previousSize;
    return previous;
}

QImage Session::grab(const QString& name) const
{
    const QString shot = m_dir.filePath("grab.png");
    run("xdotool", {"mousemove", "0", "0"});
    QImage previous;
    for (int attempt = 0; attempt < 6; ++attempt) {
        QThread::msleep(800);
        const QJsonArray r = item(name).value("rect").toArray();
        if (r.size() != 4)
            return QImage();
        screenshot(shot);
        const QImage image = QImage(shot).copy(r[0].toInt() + 2, r[1].toInt() + 2, r[2].toInt() - 4, r[3].toInt() - 4);
        if (attempt > 0 && image == previous)
            break;
        previous = image;
    }
    return previous;
}

int Session::finish(int ms)
{
    const bool ended = m_program.waitForFinished(ms);
    output();
    if (!ended) {
        qWarning("The window did not close; its last output:\n%s", qPrintable(m_output.right(2000)));
        m_program.kill();
        m_program.waitForFinished(10000);
        return -1;
    }
    if (m_program.exitStatus() != QProcess::NormalExit) {
        qWarning("The window ended with a signal; its last output:\n%s", qPrintable(m_output.right(2000)));
        return -1;
    }
    return m_program.exitCode();
}

QString Session::output()
{
    // Nothing arrives without an event loop unless it is waited for.
    while (m_program.state() == QProcess::Running && m_program.waitForReadyRead(20))
        m_output += QString::fromUtf8(m_program.readAll());
    m_output += QString::fromUtf8(m_program.readAll());
    return m_output;
}
