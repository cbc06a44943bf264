#include "geometry/airfoils.h"

#include <QRegularExpression>
#include <QtTest>
#include <cmath>

using namespace Folvane;

namespace {

using Points = Eigen::Matrix<double, Eigen::Dynamic, 2>;

// One side of the loop, leading edge to trailing edge, x rising.
Points side(const Points& p, bool upper)
{
    Points s(30, 2);
    for (int k = 0; k < 30; ++k)
        s.row(k) = p.row(upper || k == 0 ? k : 58 - k);
    return s;
}

double yAt(const Points& s, double x)
{
    int k = 1;
    while (s(k, 0) < x)
        ++k;
    const double t = (x - s(k - 1, 0)) / (s(k, 0) - s(k - 1, 0));
    return s(k - 1, 1) + t * (s(k, 1) - s(k - 1, 1));
}

// Signs of the slope increments along a side, "-" where the side bulges up.
QString curvatureSigns(const Points& s)
{
    QString signs;
    for (int k = 1; k + 1 < s.rows(); ++k) {
        const double slope0 = (s(k, 1) - s(k - 1, 1)) / (s(k, 0) - s(k - 1, 0));
        const double slope1 = (s(k + 1, 1) - s(k, 1)) / (s(k + 1, 0) - s(k, 0));
        signs += slope1 > slope0 ? '+' : '-';
    }
    return signs;
}

// How far point k lies off the cubic through its two neighbours on each side.
double cubicMisfit(const Points& s, int k)
{
    const int nodes[] = {k - 2, k - 1, k + 1, k + 2};
    double y = 0.0;
    for (int i : nodes) {
        double weight = 1.0;
        for (int j : nodes)
            if (j != i)
                weight *= (s(k, 0) - s(j, 0)) / (s(i, 0) - s(j, 0));
        y += weight * s(i, 1);
    }
    return std::abs(y - s(k, 1));
}

} // namespace

class TestAirfoils : public QObject
{
    Q_OBJECT

private slots:
    void catalogue();
    void fixedRows_data();
    void fixedRows();
    void circle();
    void sections_data();
    void sections();
};

void TestAirfoils::catalogue()
{
    QCOMPARE(Airfoils::names(),
             QStringList({"Circle", "NACA63214", "NACA63220", "NACA63240"}));
    for (const QString& name : Airfoils::names()) {
        const Points p = Airfoils::points(name);
        QCOMPARE(p.rows(), 58);
        QVERIFY2(p(0, 0) == 0.0 && p(0, 1) == 0.0, qPrintable(name));
        QVERIFY2(p(29, 0) == 1.0 && p(29, 1) == 0.0, qPrintable(name));
    }
    QCOMPARE(Airfoils::points("NACA0012").rows(), 0);
    QCOMPARE(Airfoils::points(QString()).rows(), 0);
}

void TestAirfoils::fixedRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("63214 upper LE") << "NACA63214" << 1 << 0.001921 << 0.008657;
    QTest::newRow("63214 upper 10") << "NACA63214" << 10 << 0.25112 << 0.075852;
    QTest::newRow("63214 upper TE") << "NACA63214" << 28 << 0.980322 << 0.00225;
    QTest::newRow("63214 lower TE") << "NACA63214" << 30 << 0.980338 << 0.000835;
    QTest::newRow("63214 lower LE") << "NACA63214" << 57 << 0.001857 << -0.00555;
    QTest::newRow("63220 upper LE") << "NACA63220" << 1 << 0.001089 << 0.009924;
    QTest::newRow("63220 upper 10") << "NACA63220" << 10 << 0.242943 << 0.103981;
    QTest::newRow("63240 upper LE") << "NACA63240" << 1 << 0.000697 << 0.011639;
    QTest::newRow("63240 upper 10") << "NACA63240" << 10 << 0.20978 << 0.192829;
    QTest::newRow("63240 lower TE") << "NACA63240" << 30 << 0.978581 << -0.000029;
    QTest::newRow("circle 1") << "Circle" << 1 << 0.002931021 << 0.054059509;
    QTest::newRow("circle 14") << "Circle" << 14 << 0.472930546 << 0.499266707;
    QTest::newRow("circle 43") << "Circle" << 43 << 0.527069454 << -0.499266707;
}

void TestAirfoils::fixedRows()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(double, x);
    QFETCH(double, y);
    const Points p = Airfoils::points(name);
    // Exact: the stored values must be the doubles nearest the decimals.
    QVERIFY2(p(index, 0) == x, qPrintable(QString::number(p(index, 0), 'g', 17)));
    QVERIFY2(p(index, 1) == y, qPrintable(QString::number(p(index, 1), 'g', 17)));
}

void TestAirfoils::circle()
{
    const Points p = Airfoils::points("Circle");
    // Rounding half away from zero keeps the two sides mirror images.
    for (int i = 1; i < 58; ++i)
        QVERIFY2(p(i, 0) == p(58 - i, 0) && p(i, 1) == -p(58 - i, 1), qPrintable(QString::number(i)));
    for (int i = 0; i < 58; ++i)
        for (int c = 0; c < 2; ++c)
            QVERIFY2(!std::signbit(p(i, c)) || p(i, c) != 0.0, "stored -0");
}

void TestAirfoils::sections_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("thickness");
    QTest::newRow("14 %") << "NACA63214" << 0.14;
    QTest::newRow("20 %") << "NACA63220" << 0.20;
    QTest::newRow("40 %") << "NACA63240" << 0.40;
}

void TestAirfoils::sections()
{
    QFETCH(QString, name);
    QFETCH(double, thickness);
    const Points p = Airfoils::points(name);
    for (int i = 0; i < 58; ++i)
        for (int c = 0; c < 2; ++c)
            QVERIFY2(std::round(p(i, c) * 1e6) / 1e6 == p(i, c), "more than 6 decimals");

    const Points upper = side(p, true);
    const Points lower = side(p, false);
    for (int k = 0; k < 29; ++k) {
        QVERIFY(upper(k + 1, 0) > upper(k, 0));
        QVERIFY(lower(k + 1, 0) > lower(k, 0));
    }

    double maxThickness = 0.0;
    double maxAt = 0.0;
    for (int k = 1; k < 29; ++k) {
        QVERIFY2(upper(k, 1) > yAt(lower, upper(k, 0)), qPrintable(QString::number(k)));
        const double t = yAt(upper, lower(k, 0)) - lower(k, 1);
        QVERIFY2(t > 0.0, qPrintable(QString::number(k)));
        if (t > maxThickness) {
            maxThickness = t;
            maxAt = lower(k, 0);
        }
    }
    QVERIFY2(std::abs(maxThickness - thickness) < 0.05 * thickness, qPrintable(QString::number(maxThickness)));
    QVERIFY2(maxAt > 0.28 && maxAt < 0.42, qPrintable(QString::number(maxAt)));

    // The small positive camber of a design lift coefficient of 0.2.
    const double camber = (yAt(upper, 0.5) + yAt(lower, 0.5)) / 2.0;
    QVERIFY2(camber > 0.005 && camber < 0.02, qPrintable(QString::number(camber)));

    // Convex from the nose, at most one inflection towards the trailing edge:
    // a wiggle anywhere adds two sign changes.
    const QString upperSigns = curvatureSigns(upper);
    const QString lowerSigns = curvatureSigns(lower);
    QVERIFY2(QRegularExpression("^-+\\+*$").match(upperSigns).hasMatch(), qPrintable(upperSigns));
    QVERIFY2(QRegularExpression("^\\++-*$").match(lowerSigns).hasMatch(), qPrintable(lowerSigns));
    // A bump too small to flip a sign still shows off the nose and the tail.
    for (int k = 9; k < 26; ++k) {
        QVERIFY2(cubicMisfit(upper, k) < 2e-4, qPrintable(QString::number(k)));
        QVERIFY2(cubicMisfit(lower, k) < 2e-4, qPrintable(QString::number(k)));
    }
}

QTEST_GUILESS_MAIN(TestAirfoils)
#include "tst_airfoils.moc"
