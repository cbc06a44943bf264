#include "core/parameterlist.h"

#include "core/arithmetic.h"
#include "core/parameter.h"
#include "core/messages.h"
#include "opt/chromosome.h"

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

Chromosome* ParameterList::toChromosome() const
{
    auto* chromosome = new Chromosome;
    for (int i = 0; i < count(); ++i)
        chromosome->addGene(parameter(i)->toGene());
    return chromosome;
}

void ParameterList::ImportChromosome(Chromosome* chromosome)
{
    const std::vector<int64_t> genes = chromosome->GeneValues();
    if (int(genes.size()) != count()) {
        debugLine(QStringLiteral("ParameterList - ImportChromosome: size not correct!"));
        return;
    }
    for (int i = 0; i < count(); ++i)
        parameter(i)->setFromGene(genes[i]);
}

ParameterTableModel::ParameterTableModel(ParameterList* list)
    : KObjectTableModel(list)
    , m_list(list)
{
    m_columnNum = 10;
}

enum ParameterField { NameField, IsOptField, IsSampledField, ValueField, LowField, HighField,
                      TargetField, DigitField, DisField, Par1Field, Par2Field };

QHash<int, QByteArray> ParameterTableModel::roleNames() const
{
    return pairedRoleNames({"name", "isopt", "issample", "value", "low", "high",
                            "target", "digit", "dis", "par1", "par2"});
}

int ParameterTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list->count();
}

QVariant ParameterTableModel::data(const QModelIndex& index, int role) const
{
    if (!validCell(index, m_list->count()))
        return QVariant();
    const Parameter* p = m_list->parameter(index.row());
    switch (readColumn(role)) {
    case NameField: return p->name();
    case IsOptField: return p->isOpt();
    case IsSampledField: return p->isSampled();
    case ValueField: return p->value();
    case LowField: return p->low();
    case HighField: return p->high();
    case TargetField: return p->target();
    case DigitField: return p->digitNum();
    case DisField: return int(p->disType());
    case Par1Field: return p->par1();
    case Par2Field: return p->par2();
    default: return QVariant();
    }
}

bool ParameterTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!validCell(index, m_list->count()))
        return false;
    Parameter* p = m_list->parameter(index.row());
    switch (writeColumn(role)) {
    case NameField: p->setName(value.toString()); break;
    case IsOptField: p->setIsOpt(value.toBool()); break;
    case IsSampledField: p->setIsSampled(value.toBool()); break;
    case ValueField: p->setValue(value.toDouble()); break;
    case LowField: p->setLow(value.toDouble()); break;
    case HighField: p->setHigh(value.toDouble()); break;
    case TargetField: p->setTarget(value.toDouble()); break;
    case DigitField: p->setDigitNum(value.toDouble()); break;
    case DisField: p->setDisType(Parameter::Distribution(value.toInt())); break;
    case Par1Field: p->setPar1(value.toDouble()); break;
    case Par2Field: p->setPar2(value.toDouble()); break;
    default: return false;
    }
    return true;
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
