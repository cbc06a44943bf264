#ifndef FOLVANE_LINKER_H
#define FOLVANE_LINKER_H

#include <QObject>
#include <QString>

class QDataStream;

namespace Folvane {

// A numeric field held as an expression over the parameter names. Its
// value is the expression evaluated in the parameter list's script engine;
// an empty or invalid expression gives NaN.
class Linker : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Exp READ exp WRITE setExp NOTIFY ExpChanged)

public:
    explicit Linker(QObject* parent = nullptr);
    Linker(double value, QObject* parent);
    Linker(QDataStream& in, QObject* parent);

    QString exp() const { return m_exp; }
    void setExp(const QString& exp) { m_exp = exp; }

    Q_INVOKABLE double value() const;
    // The value against the parameters as they are now; value() sees them
    // as they were at the engine's last refresh. What an editor shows.
    Q_INVOKABLE double currentValue() const;
    void setValue(const double& value);
    void writeBinary(QDataStream& out) const;

    // Bytes of the smallest record: the real, an empty string, the flag.
    static constexpr qint64 RecordBytes = 8 + 8 + 1;

signals:
    void ExpChanged();

private:
    QString m_exp;
    quint8 m_flag = 0;
};

// Puts value into slot, owned by owner; the previous linked value is
// deleted when owner owned it. The setters of every linked field use it.
void replaceLinker(Linker*& slot, Linker* value, QObject* owner);

// The value cut toward zero to an index; -1 when it is not finite.
int linkedIndex(double value);

} // namespace Folvane

#endif
