#include "capture.h"
#include "roles.h"
#include "core/linker.h"
#include "core/parameter.h"
#include "core/parameterlist.h"

#include <QScriptEngine>
#include <QtTest>
#include <cmath>
#include <memory>

using namespace Folvane;

class TestParameters : public QObject
{
    Q_OBJECT

private slots:
    void linkerText();
    void linkerEvaluation();
    void endlessOrFailingExpressions();
    void sampling();
    void samplingRefusesInvalidParameters();
    void parameterRecord();
    void tableCells();
    void typedCells_data();
    void typedCells();
    void tableRowsAndMessages();
};

void TestParameters::linkerText()
{
    QCOMPARE(Linker(0.1234567, nullptr).exp(), QString("0.123457"));
    QCOMPARE(Linker(1e-7, nullptr).exp(), QString("1e-07"));
    QCOMPARE(Linker(13150, nullptr).exp(), QString("13150"));
    Linker l;
    l.setValue(-2.5e10);
    QCOMPARE(l.exp(), QString("-2.5e+10"));

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    Linker(600, nullptr).writeBinary(out);
    QCOMPARE(bytes, QByteArray(8, '\0') + QByteArray::fromHex("0300000000000000") + "600" + QByteArray(1, '\0'));

    // The flag byte is kept as read and written back unchanged.
    QByteArray record = QByteArray(8, '\x11') + QByteArray::fromHex("0100000000000000") + "7" + QByteArray(1, '\x05');
    QDataStream in(record);
    Binary::prepare(in);
    Linker read(in, nullptr);
    QCOMPARE(read.exp(), QString("7"));
    QByteArray back;
    QDataStream out2(&back, QIODevice::WriteOnly);
    Binary::prepare(out2);
    read.writeBinary(out2);
    QCOMPARE(back.right(1), QByteArray(1, '\x05'));
    QCOMPARE(back.left(8), QByteArray(8, '\0'));
}

void TestParameters::linkerEvaluation()
{
    ParameterList list;
    Parameter* p = list.parameter(0);
    QCOMPARE(p->name(), QString("P"));
    p->setValue(2);
    list.resetEngine();
    auto* holder = new KObject(&list);
    Linker linker(holder);
    linker.setExp("P*3");
    QCOMPARE(linker.value(), 6.0);
    p->setValue(5);
    QCOMPARE(linker.value(), 6.0);
    // What an editor shows as it is typed sees the edit at once.
    QCOMPARE(linker.currentValue(), 15.0);
    p->setValue(4);
    list.resetEngine();
    QCOMPARE(linker.value(), 12.0);
    linker.setExp("Math.sqrt(P) + 0.5");
    QCOMPARE(linker.value(), 2.5);
    linker.setExp("");
    QVERIFY(std::isnan(linker.value()));
    linker.setExp("Q + 1");
    QVERIFY(std::isnan(linker.value()));
    linker.setExp("3 +");
    QVERIFY(std::isnan(linker.value()));
    linker.setExp("1e5");
    QCOMPARE(linker.value(), 1e5);

    // Without a parameter list a plain number is still its value.
    Linker alone(42.5, nullptr);
    QCOMPARE(alone.value(), 42.5);
    alone.setExp("P");
    QVERIFY(std::isnan(alone.value()));
    QVERIFY(std::isnan(alone.currentValue()));

    // The same names and values keep the engine; a new name is seen.
    QScriptEngine* engine = list.scriptEngine();
    list.resetEngine();
    QCOMPARE(list.scriptEngine(), engine);
    p->setName("Q");
    list.resetEngine();
    linker.setExp("Q * 2");
    QCOMPARE(linker.value(), 8.0);
    p->setName("P");

    // A later parameter of the same name wins.
    list.addSon();
    list.parameter(1)->setValue(7);
    list.resetEngine();
    linker.setExp("P");
    QCOMPARE(linker.value(), 7.0);
}

void TestParameters::endlessOrFailingExpressions()
{
    ParameterList list;
    list.resetEngine();
    // Loops, string builders, throws, functions, assignments, member access
    // outside Math and damaged texts never reach the engine.
    const QStringList refused{
        "while(true){}", "for(;;);", "var i = 0; while (true) { i++; }",
        "function f(){ return f(); } f()", "throw 5", "undefinedName.x",
        "var s=\"x\"; while(true) { s+=s; s.charCodeAt(1) }", "Array(1e9).join().length",
        "var s='x'; for(var i=0;i<40;i++) s+=s; s.charAt(5)",
        "Math.constructor.constructor('while(1);')()", "P.constructor", "Math", "Math.foo(1)",
        "P = 5", "P += 1", "P++", "--P", "P >>= 1", "eval(1)", "[1][0]", "P;P", "1e", "0x",
        "1P", QString(20000, '1'), "P !=== 1"};
    // (One that reached the engine would never return: the test's time
    // limit catches it.)
    for (const QString& expression : refused)
        QVERIFY2(std::isnan(list.evaluate(expression)), qPrintable(expression.left(60)));
    // The engine's variables are untouched and arithmetic still works.
    const QList<QPair<QString, double>> accepted{
        {"P + 1", 2.0}, {"Math.max(P, 3) * 2", 6.0}, {"P > 0 ? 1e3 : -.5", 1000.0},
        {"0x10 + P", 17.0}, {"Math . PI > 3 && !isNaN(P)", 1.0}, {"- -P", 1.0},
        {"(((P)))*2.5e-1", 0.25}, {"parseFloat(P) === 1", 1.0}, {"Math.pow(2, 10) % 1000", 24.0}};
    for (const auto& [expression, value] : accepted)
        QCOMPARE(list.evaluate(expression), value);
    QVERIFY(std::isnan(list.evaluate("NaN")));
    // Deep nesting fails in the engine's parser, not in the program.
    QVERIFY(std::isnan(list.evaluate(QString(4000, '(') + "1")));
    QCOMPARE(list.evaluate(QString(3000, '(') + "1" + QString(3000, ')')), 1.0);
}

static double sampleMean(Parameter::Distribution type, double par1, double par2, int n = 4000)
{
    Parameter p;
    p.setIsSampled(true);
    p.setDisType(type);
    p.setPar1(par1);
    p.setPar2(par2);
    std::mt19937_64 engine(12345);
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        p.sample(engine);
        sum += p.value();
    }
    return sum / n;
}

void TestParameters::sampling()
{
    Parameter p;
    p.setValue(3.25);
    p.setDisType(Parameter::Uniform);
    p.setPar1(2);
    p.setPar2(4);
    std::mt19937_64 engine(1);
    p.sample(engine);
    QCOMPARE(p.value(), 3.25);

    p.setIsSampled(true);
    p.setLow(100);
    for (int i = 0; i < 200; ++i) {
        p.sample(engine);
        QVERIFY(p.value() >= 2 && p.value() < 4);
    }

    // The means of the seven distributions, within a few standard errors.
    QVERIFY(std::abs(sampleMean(Parameter::StdNorm, 10, 2) - 10) < 0.2);
    QVERIFY(std::abs(sampleMean(Parameter::LogNorm, 0, 0.5) - std::exp(0.125)) < 0.05);
    QVERIFY(std::abs(sampleMean(Parameter::Uniform, 2, 4) - 3) < 0.05);
    QVERIFY(std::abs(sampleMean(Parameter::Weibull, 2, 3) - 3 * std::tgamma(1.5)) < 0.1);
    QVERIFY(std::abs(sampleMean(Parameter::Gamma, 2, 3) - 6) < 0.3);
    QVERIFY(std::abs(sampleMean(Parameter::Exponential, 4, 0) - 0.25) < 0.02);
    QVERIFY(std::abs(sampleMean(Parameter::Poisson, 7, 0) - 7) < 0.3);

    p.setDisType(Parameter::Poisson);
    p.setPar1(3);
    p.sample(engine);
    QCOMPARE(p.value(), std::floor(p.value()));

    // An unknown distribution number leaves the value alone.
    p.setValue(-1);
    p.setDisType(Parameter::Distribution(42));
    p.sample(engine);
    QCOMPARE(p.value(), -1.0);

    ParameterList list;
    list.addSon();
    list.parameter(1)->setIsSampled(true);
    list.parameter(1)->setDisType(Parameter::Uniform);
    list.parameter(1)->setPar1(5);
    list.parameter(1)->setPar2(6);
    list.sampleAll(engine);
    QCOMPARE(list.parameter(0)->value(), 1.0);
    QVERIFY(list.parameter(1)->value() >= 5 && list.parameter(1)->value() < 6);
}

void TestParameters::samplingRefusesInvalidParameters()
{
    Parameter p;
    p.setName("Shape");
    p.setIsSampled(true);
    p.setValue(8);
    std::mt19937_64 engine(3);
    Capture capture;
    const QList<QPair<Parameter::Distribution, QPair<double, double>>> invalid = {
        {Parameter::Gamma, {-1, 2}},   {Parameter::Weibull, {0, 1}},   {Parameter::Poisson, {qQNaN(), 0}},
        {Parameter::Exponential, {0, 0}}, {Parameter::StdNorm, {0, -1}}, {Parameter::Poisson, {-4, 0}}};
    for (const auto& c : invalid) {
        p.setDisType(c.first);
        p.setPar1(c.second.first);
        p.setPar2(c.second.second);
        p.sample(engine);
        QCOMPARE(p.value(), 8.0);
    }
    QCOMPARE(capture.debugLines().size(), invalid.size());
    QCOMPARE(capture.debugLines().first(), QString("Parameter - sample: distribution parameters of Shape not valid"));
}

void TestParameters::parameterRecord()
{
    Parameter p;
    p.setValue(1.5);
    p.setLow(-1);
    p.setHigh(2);
    p.setDigitNum(2.7);
    p.setDisType(Parameter::Gamma);
    p.setIsSampled(true);
    p.setPar1(3);
    p.setPar2(4);
    p.setTarget(9);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    p.writeBinary(out);

    QByteArray expected;
    QDataStream e(&expected, QIODevice::WriteOnly);
    Binary::prepare(e);
    e << quint64(1);
    e.writeRawData("P", 1);
    e << 1.5 << -1.0 << 2.0 << qint32(2) << qint32(4) << quint8(1) << quint8(0) << 3.0 << 4.0;
    QCOMPARE(bytes, expected);

    QDataStream in(bytes);
    Binary::prepare(in);
    Parameter read(in, nullptr);
    QCOMPARE(read.digitNum(), 2.0);
    QCOMPARE(read.disType(), Parameter::Gamma);
    QVERIFY(read.isSampled());
    QVERIFY(!read.isOpt());
    QCOMPARE(read.target(), 0.0);
    QCOMPARE(read.par2(), 4.0);

    // Reading the list does not refill the engine.
    ParameterList list;
    list.parameter(0)->setValue(4);
    list.resetEngine();
    QByteArray section = QByteArray::fromHex("01000000") + bytes;
    QDataStream sin(section);
    Binary::prepare(sin);
    list.readBinary(sin);
    QCOMPARE(list.parameter(0)->value(), 1.5);
    QCOMPARE(list.evaluate("P"), 4.0);
}

void TestParameters::tableCells()
{
    ParameterList list;
    KObjectTableModel* table = list.tableModel();
    QCOMPARE(table->columnCount(), 10);
    const QModelIndex cell = table->index(0, 9);
    QSignalSpy renamed(list.parameter(0), &KObject::NameChanged);
    const QList<QPair<QByteArray, QVariant>> writes = {
        {"name", "Chord"}, {"isopt", true}, {"issample", true}, {"value", 2.5}, {"low", -1.0}, {"high", 8.0},
        {"target", 3.0},   {"digit", 2.0},  {"dis", 3},         {"par1", 0.5},  {"par2", 1.5}};
    for (const auto& w : writes) {
        QVERIFY(table->setData(cell, w.second, roleOf(table, w.first + "_input")));
        QCOMPARE(table->data(cell, roleOf(table, w.first + "_user")), w.second);
    }
    QCOMPARE(renamed.count(), 1);
    QCOMPARE(list.parameter(0)->disType(), Parameter::Weibull);
    QVERIFY(!table->setData(cell, 1.0, roleOf(table, "value_user")));
    QVERIFY(!table->setData(table->index(1, 0), 1.0, roleOf(table, "value_input")));
}

// Text typed into a cell, as the window passes it: a number cell takes a
// number only, a range keeps Low at most High; a refused value says why.
void TestParameters::typedCells_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("number") << "value" << "2.5" << "" << QVariant(2.5);
    QTest::newRow("number in blanks") << "value" << " 1e3 " << "" << QVariant(1000.0);
    QTest::newRow("text") << "value" << "abc" << "\"abc\" is not a number; the value stays 1" << QVariant(1.0);
    QTest::newRow("number run into text") << "value" << "12x00" << "\"12x00\" is not a number; the value stays 1" << QVariant(1.0);
    QTest::newRow("nothing") << "value" << "" << "\"\" is not a number; the value stays 1" << QVariant(1.0);
    QTest::newRow("infinite") << "target" << "inf" << "\"inf\" is not a number; the value stays 0" << QVariant(0.0);
    QTest::newRow("Low above High") << "low" << "5" << "Low 5 would be above High 1; the value stays 0" << QVariant(0.0);
    QTest::newRow("High below Low") << "high" << "-5" << "High -5 would be below Low 0; the value stays 1" << QVariant(1.0);
    QTest::newRow("Low at High") << "low" << "1" << "" << QVariant(1.0);
    QTest::newRow("name") << "name" << "12x00" << "" << QVariant("12x00");
}

void TestParameters::typedCells()
{
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QFETCH(QVariant, stored);
    ParameterList list;
    KObjectTableModel* table = list.tableModel();
    QSignalSpy changed(table, &QAbstractItemModel::dataChanged);
    QCOMPARE(table->writeCell(0, column, typed), refusal);
    QCOMPARE(table->data(table->index(0, 0), roleOf(table, column.toUtf8() + "_user")), stored);
    QCOMPARE(changed.count(), refusal.isEmpty() ? 1 : 0);
}

void TestParameters::tableRowsAndMessages()
{
    ParameterList list;
    auto* table = list.tableModel();
    Capture capture;
    QVERIFY(table->insertRows(1, 2));
    QCOMPARE(list.count(), 3);
    QVERIFY(!table->insertRows(4, 1));
    QVERIFY(!table->removeRows(2, 2));
    QVERIFY(table->removeRows(1, 2));
    QVERIFY(!table->delRowCurrent(0));
    QVERIFY(table->addRowAfter(0));
    QVERIFY(!table->addRowBefore(2));
    QVERIFY(!table->addRowAfter(-1));
    QVERIFY(table->delRowCurrent(1));
    QCOMPARE(list.count(), 1);
    list.InsertNewSon(-1);
    QCOMPARE(capture.debugLines(), QStringList({"ParameterTableModel - insertRows: insert position not correct!",
                                                "ParameterTableModel - removeRows: remove position not correct!",
                                                "KObjectTableModel - delRowCurrent: position not correct!",
                                                "KObjectTableModel - addRowBefore: position not correct!",
                                                "KObjectTableModel - addRowAfter: position not correct!",
                                                "ParameterList - InsertNewSon: index not correct!"}));
}

QTEST_GUILESS_MAIN(TestParameters)
#include "tst_parameters.moc"
