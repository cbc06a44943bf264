#include "core/parameterlist.h"

#include "core/arithmetic.h"
#include "core/parameter.h"
#include "core/messages.h"

#include <QScriptEngine>
#include <algorithm>
#include <cstring>
#include <limits>

namespace Folvane {

ParameterList::ParameterList(QObject* parent)
    : KObjectList(QStringLiteral("Parameter"), parent)
{
    setTableModel(new ParameterTableModel(this));
    m_sons.append(new Parameter(this));
    resetEngine();
}

Parameter* ParameterList::parameter(int i) const
{
    return son<Parameter>(i);
}

void ParameterList::InsertNewSon(int ind)
{
    if (insertSon(ind, [this] { return new Parameter(this); }))
        emit sonChanged();
}

void ParameterList::readBinary(QDataStream& in)
{
    beginResetModel();
    clearSons();
    readSons(in, Parameter::RecordBytes, [&] { return new Parameter(in, this); });
    endResetModel();
}

ParameterList* ParameterList::parameterList() const
{
    return const_cast<ParameterList*>(this);
}

static bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ParameterList::resetEngine()
{
    QStringList names;
    QVector<double> values;
    for (int i = 0; i < count(); ++i) {
        names.append(parameter(i)->name());
        values.append(parameter(i)->value());
    }
    // No expression can change the engine's variables, so an engine of the
    // same names and values is as good as a new one; many callers refresh
    // before every use.
    if (names == m_names && std::equal(values.begin(), values.end(), m_values.begin(), m_values.end(), sameBits))
        return;
    // The values are taken now; the engine itself is only started when an
    // expression needs it, since most fields hold plain numbers and every
    // document (trial reads included) has a parameter list.
    delete m_engine;
    m_engine = nullptr;
    m_names = names;
    m_values = values;
}

QScriptEngine* ParameterList::scriptEngine() const
{
    if (!m_engine) {
        m_engine = new QScriptEngine(const_cast<ParameterList*>(this));
        QScriptValue global = m_engine->globalObject();
        for (int i = 0; i < m_names.size(); ++i)
            global.setProperty(m_names[i], m_values[i]);
    }
    return m_engine;
}

double ParameterList::evaluate(const QString& expression) const
{
    if (!isArithmetic(expression, m_names))
        return std::numeric_limits<double>::quiet_NaN();
    QScriptEngine* engine = scriptEngine();
    const QScriptValue result = engine->evaluate(expression, QString(), 1);
    double value = result.isError() ? std::numeric_limits<double>::quiet_NaN() : result.toNumber();
    if (engine->hasUncaughtException()) {
        value = std::numeric_limits<double>::quiet_NaN();
        engine->clearExceptions();
    }
    return value;
}

void ParameterList::sampleAll(std::mt19937_64& engine)
{
    for (int i = 0; i < count(); ++i)
        parameter(i)->sample(engine);
}

namespace {

QString shown(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// A bound of the range, refused when it would cross the other one.
QString setBound(Parameter* p, double value, bool low)
{
    if (low ? value > p->high() : value < p->low())
        return low ? QStringLiteral("Low %1 would be above High %2").arg(shown(value), shown(p->high()))
                   : QStringLiteral("High %1 would be below Low %2").arg(shown(value), shown(p->low()));
    if (low)
        p->setLow(value);
    else
        p->setHigh(value);
    return QString();
}

} // namespace

ParameterTableModel::ParameterTableModel(ParameterList* list)
    : KObjectTableModel(list)
    , m_list(list)
{
    using P = Parameter*;
    setColumns({[list](const QModelIndex& index) { return list->parameter(index.row()); },
                {{"name", [](P p) { return p->name(); },
                  [list](P p, const QVariant& v) { return list->rename(p, v.toString()); }},
                 {"isopt", [](P p) { return p->isOpt(); }, [](P p, const QVariant& v) { p->setIsOpt(v.toBool()); }},
                 {"issample", [](P p) { return p->isSampled(); },
                  [](P p, const QVariant& v) { p->setIsSampled(v.toBool()); }},
                 {"value", [](P p) { return p->value(); }, [](P p, const QVariant& v) { p->setValue(v.toDouble()); }},
                 {"low", [](P p) { return p->low(); },
                  [](P p, const QVariant& v) { return setBound(p, v.toDouble(), true); }},
                 {"high", [](P p) { return p->high(); },
                  [](P p, const QVariant& v) { return setBound(p, v.toDouble(), false); }},
                 {"target", [](P p) { return p->target(); }, [](P p, const QVariant& v) { p->setTarget(v.toDouble()); }},
                 {"digit", [](P p) { return p->digitNum(); },
                  [](P p, const QVariant& v) { p->setDigitNum(v.toDouble()); }},
                 {"dis", [](P p) { return int(p->disType()); },
                  [](P p, const QVariant& v) { p->setDisType(Parameter::Distribution(v.toInt())); }},
                 {"par1", [](P p) { return p->par1(); }, [](P p, const QVariant& v) { p->setPar1(v.toDouble()); }},
                 {"par2", [](P p) { return p->par2(); }, [](P p, const QVariant& v) { p->setPar2(v.toDouble()); }}}});
    // One grid column fewer than roles, as the table has always reported.
    m_columnNum = 10;
}

int ParameterTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list->count();
}

bool ParameterTableModel::insertRows(int row, int count, const QModelIndex&)
{
    return insertRowsWith(row, count, m_list->count(), [this](int r) { m_list->InsertNewSon(r); });
}

bool ParameterTableModel::removeRows(int row, int count, const QModelIndex&)
{
    return removeRowsWith(row, count, m_list->count(), [this](int r) { m_list->RemoveSon(r); });
}

} // namespace Folvane
