#ifndef FOLVANE_TEST_SESSION_H
#define FOLVANE_TEST_SESSION_H

#include <QHash>
#include <QImage>
#include <QJsonValue>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// A session with the program's real window, as a user has it: the program
// runs on the test's X display under a window manager (openbox) and is
// driven with real mouse and key events (xdotool). Its probe file
// (FOLVANE_PROBE) says where every window and named item is and what it
// shows, as the user would see it.
class Session
{
public:
    // Starts the program with the arguments, in a folder of its own whose
    // home/ is its home folder; waits for the main window.
    explicit Session(const QStringList& arguments = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    bool started() const { return m_started; }

    // The named item or the window with the title, as last seen; empty when
    // not shown.
    QJsonObject item(const QString& name) const;
    // Every shown item whose name starts with the prefix.
    QList<QJsonObject> items(const QString& prefix) const;
    QJsonObject window(const QString& title) const;
    // Waits until the named item is shown (and the condition holds). The
    // waits cost nothing when the window answers, and are long enough for
    // a machine loaded many times over.
    bool waitForItem(const QString& name, const std::function<bool(const QJsonObject&)>& until = {},
                     int ms = 60000) const;
    bool waitForWindow(const QString& title, bool shown = true, int ms = 60000) const;
    // Waits until the program's output (both channels) holds the text.
    bool waitForOutput(const QString& text, int ms = 60000);

    // Mouse and keys: a click in the middle of the item (or at a point of
    // the screen), text typed, keys in xdotool's names ("ctrl+s").
    bool click(const QString& name, int button = 1);
    void clickAt(int x, int y, int button = 1);
    // Turns the wheel over the item: down (or right) for positive clicks.
    void scroll(const QString& name, int clicks, bool sideways = false);
    void type(const QString& text);
    void key(const QString& keys);
    // Sets the named combo box to the entry from the keyboard: its list
    // opened and closed first, so the keys reach the box and not the list.
    bool choose(const QString& combo, int index);
    // Answers the file dialog with the title: the path typed into its
    // location field, then Enter. True once the dialog has gone.
    bool answerFileDialog(const QString& title, const QString& path);
    // Asks the window manager to close the window (Alt+F4), as its title-bar
    // button does.
    // Brings the window of that title (with or without the unsaved mark)
    // to the front.
    bool activateWindow(const QString& title);
    bool closeWindow(const QString& title);
    // Clicks the named item and waits for the window it opens.
    bool openWindow(const QString& name, const QString& title);
    // Closes the window and waits until the program has let it go.
    bool closeAndWait(const QString& title);
    // Clicks the named field and types the text over what it holds.
    bool retype(const QString& name, const QString& text);
    void screenshot(const QString& file) const;
    // The box around what is drawn (not white) in the named item, in its
    // own coordinates, from a screenshot; empty when it is all white.
    // The item's own size at that moment goes to *size.
    QRect drawnBox(const QString& name, QSize* size = nullptr) const;
    // What the named item shows on the screen now (less a pixel of border),
    // once two pictures running agree (a view may take frames to settle).
    QImage grab(const QString& name) const;

    // Waits for the program to end: its exit code, or -1 when it did not
    // end by itself (a signal, or still running, then killed).
    int finish(int ms = 120000);
    QString output();

private:
    void bringForward(const QJsonObject& item);
    void settle(const QJsonObject& item);
    // The X window of that title, once it is mapped; empty when none is.
    QString windowId(const QString& title) const;
    QJsonObject probe() const;

    QTemporaryDir m_dir;
    QProcess m_program;
    QString m_output;
    bool m_started = false;
    QHash<QString, QJsonValue> m_settled;   // window title -> the place it was seen standing at
};

#endif
