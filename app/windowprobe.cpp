#include "app/windowprobe.h"

#include "core/savefile.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSaveFile>
#include <QTimer>

namespace Folvane {

WindowProbe::WindowProbe(const QString& path, QObject* parent)
    : QObject(parent)
    , m_path(path)
    , m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &WindowProbe::write);
    m_timer->start(150);
}

namespace {

QJsonArray rectOf(const QRectF& r)
{
    return QJsonArray{qRound(r.x()), qRound(r.y()), qRound(r.width()), qRound(r.height())};
}

// An item is shown when it and every item above it are visible and it has
// some size on the screen.
void collect(const QQuickItem* item, const QString& window, QJsonArray& items)
{
    if (!item->isVisible())
        return;
    if (!item->objectName().isEmpty()) {
        const QPointF topLeft = item->mapToGlobal(QPointF(0, 0));
        QJsonObject o{{"name", item->objectName()},
                      {"window", window},
                      {"rect", rectOf(QRectF(topLeft, QSizeF(item->width(), item->height())))},
                      {"enabled", item->isEnabled()},
                      {"focus", item->hasActiveFocus()}};
        for (const char* property : {"text", "displayText", "checked", "currentIndex", "count", "down", "textFits", "valid", "toolTip"}) {
            const QVariant v = item->property(property);
            if (v.isValid())
                o.insert(QLatin1String(property), QJsonValue::fromVariant(v));
        }
        items.append(o);
    }
    for (const QQuickItem* child : item->childItems())
        collect(child, window, items);
}

} // namespace

void WindowProbe::write() const
{
    QJsonArray windows, items;
    for (QWindow* w : QGuiApplication::topLevelWindows()) {
        auto* quick = qobject_cast<QQuickWindow*>(w);
        if (!quick || !quick->isVisible())
            continue;
        windows.append(QJsonObject{{"title", quick->title()},
                                   {"name", quick->objectName()},
                                   {"rect", rectOf(QRectF(quick->geometry()))},
                                   {"active", quick->isActive()}});
        collect(quick->contentItem(), quick->title(), items);
    }
    QSaveFile file(m_path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(QJsonObject{{"windows", windows}, {"items", items}}).toJson(QJsonDocument::Compact));
        commitWhole(file);
    }
}

} // namespace Folvane
