#ifndef FOLVANE_KOBJECT_H
#define FOLVANE_KOBJECT_H

#include <QJsonObject>
#include <QObject>
#include <QString>

class QDataStream;

namespace Folvane {

class ParameterList;

// A named, editable thing of the blade document. Its parent is the list
// (or the object) that owns it.
class KObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ name WRITE setName NOTIFY NameChanged)

public:
    static const char* const NameKey;

    explicit KObject(QObject* parent = nullptr);
    KObject(const QJsonObject& json, QObject* parent);
    KObject(QDataStream& in, QObject* parent);

    QString name() const { return m_name; }
    void setName(const QString& name);

    virtual void connectSignals();
    virtual void writeBinary(QDataStream& out) const;
    virtual void clearChildren();
    virtual ParameterList* parameterList() const;
    virtual void writeJson(QJsonObject& json) const;

signals:
    void NameChanged();

private:
    QString m_name;
};

} // namespace Folvane

#endif
