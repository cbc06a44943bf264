#ifndef FOLVANE_PARAMETERLIST_H
#define FOLVANE_PARAMETERLIST_H

#include "core/kobjectlist.h"
#include "core/kobjecttablemodel.h"

#include <QStringList>
#include <QVector>
#include <random>

class QScriptEngine;

namespace Folvane {

class Parameter;

// The design parameters and the script engine in which every parameter is
// a global variable for the linked values to use.
class ParameterList : public KObjectList
{
    Q_OBJECT

public:
    explicit ParameterList(QObject* parent = nullptr);

    Parameter* parameter(int i) const;

    void InsertNewSon(int ind) override;
    void readBinary(QDataStream& in) override;
    ParameterList* parameterList() const override;

    // Takes the current names and values for the engine; keeps the engine
    // when they are those it was made from.
    void resetEngine();
    QScriptEngine* scriptEngine() const;
    // The expression evaluated against the engine's variables; NaN when it
    // is empty, is not plain arithmetic, or fails.
    double evaluate(const QString& expression) const;

    void sampleAll(std::mt19937_64& engine);

private:
    mutable QScriptEngine* m_engine = nullptr;
    // The variables of the engine, as of its last refresh.
    QStringList m_names;
    QVector<double> m_values;
};

class ParameterTableModel : public KObjectTableModel
{
    Q_OBJECT

public:
    explicit ParameterTableModel(ParameterList* list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

private:
    ParameterList* m_list;
};

} // namespace Folvane

#endif
