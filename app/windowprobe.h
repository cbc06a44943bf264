#ifndef FOLVANE_WINDOWPROBE_H
#define FOLVANE_WINDOWPROBE_H

#include <QObject>
#include <QString>

class QTimer;

namespace Folvane {

// For scripted sessions that drive the window with real mouse and key
// events: writes, a few times a second, where every window and every named
// item of the interface is on the screen and what it shows, so a script can
// find what to click. Started only when FOLVANE_PROBE names a file.
class WindowProbe : public QObject
{
    Q_OBJECT

public:
    WindowProbe(const QString& path, QObject* parent = nullptr);

private:
    void write() const;

    QString m_path;
    QTimer* m_timer;
};

} // namespace Folvane

#endif
