#ifndef FOLVANE_SPANPLOTTER_H
#define FOLVANE_SPANPLOTTER_H

#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

namespace Folvane {

class KBlade;

// The span plots of the window, drawn by the program's own -plot mode in a
// process of its own (Qt Charts draws with the widgets, which the window
// does not run on), so the window shows the very plots -plot writes.
class SpanPlotter : public QObject
{
    Q_OBJECT
    // The picture of the last plot; empty before the first.
    Q_PROPERTY(QUrl Image READ image NOTIFY ImageChanged)
    Q_PROPERTY(bool Busy READ busy NOTIFY BusyChanged)

public:
    explicit SpanPlotter(KBlade* blade, QObject* parent = nullptr);
    ~SpanPlotter() override;

    QUrl image() const { return m_image; }
    // The program whose -plot draws: this program unless told otherwise
    // (a program that only embeds the window is not one that plots).
    void setProgram(const QString& program) { m_program = program; }
    bool busy() const { return m_process.state() != QProcess::NotRunning; }

    // Plots the document's current static results; false, with a message,
    // when it has none or a plot is being drawn.
    Q_INVOKABLE bool plotResults();

signals:
    void ImageChanged();
    void BusyChanged();

private:
    void drawn(int exitCode, QProcess::ExitStatus status);

    KBlade* m_blade;
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_target;
    QString m_program;
    QUrl m_image;
    int m_count = 0;
};

} // namespace Folvane

#endif
