#include "capture.h"
#include "geometry/interp.h"

#include <QtTest>
#include <cmath>
#include <random>

using namespace Folvane;

namespace {

Eigen::VectorXd vec(std::initializer_list<double> v)
{
    Eigen::VectorXd r(v.size());
    int i = 0;
    for (double d : v)
        r[i++] = d;
    return r;
}

// The interval rule written out literally: the nearest abscissa, scanning
// upwards and replacing only on a strictly smaller distance.
int referenceInterval(const Eigen::VectorXd& x, double t)
{
    const int n = int(x.size());
    if (t > x[n - 2])
        return n - 2;
    if (t < x[1])
        return 0;
    int k = 0;
    for (int i = 1; i < n; ++i) {
        if (std::abs(x[i] - t) < std::abs(x[k] - t))
            k = i;
    }
    return x[k] > t ? k - 1 : k;
}

} // namespace

class TestInterp : public QObject
{
    Q_OBJECT

private slots:
    void linearExtrapolatesTheEndIntervals();
    void steffenCoefficients();
    void valuesAtNodes();
    void steffenIsMonotone();
    void intervalSearchFollowsTheNearestPointRule();
    void aRepeatedAbscissaIsAStep();
    void degenerateInput();
};

void TestInterp::linearExtrapolatesTheEndIntervals()
{
    Eigen::MatrixXd y(2, 2);
    y << 1, 10, 3, 30;
    LinearInterp line(vec({0, 2}), y);
    QCOMPARE(line.valueAt(3), vec({4, 40}));
    QCOMPARE(line.valueAt(-1), vec({0, 0}));
    QCOMPARE(line.valueAt(1), vec({2, 20}));

    Eigen::MatrixXd z(3, 1);
    z << 0, 12, 0;
    LinearInterp tent(vec({0, 1000, 3000}), z);
    QCOMPARE(tent.valueAt(250)[0], 3.0);
    QCOMPARE(tent.valueAt(4000)[0], -6.0);
    QCOMPARE(tent.valuesAt(vec({-500, 2000})), (Eigen::MatrixXd(2, 1) << -6, 6).finished());
}

void TestInterp::steffenCoefficients()
{
    Eigen::MatrixXd y(3, 1);
    y << 0, 1, 0;
    SteffenSpline hump(vec({0, 1, 2}), y);
    QCOMPARE(hump.valueAt(0.5)[0], 0.75);   // -u^2 + 2u on the first interval
    QCOMPARE(hump.valueAt(1.5)[0], 0.75);   // 1 - u^2 on the second
    QCOMPARE(hump.valueAt(-1)[0], -3.0);
    QCOMPARE(hump.valueAt(1)[0], 1.0);
    QCOMPARE(hump.valueAt(3)[0], -3.0);
}

void TestInterp::valuesAtNodes()
{
    const Eigen::VectorXd x = vec({0, 500, 1000, 9000, 13150});
    Eigen::MatrixXd y(5, 3);
    y << 600, -20, 0, 600, -20, 0, 1366, -100, 12.4, 793, 140, 2.77, 494, 264.5, 0.29;
    LinearInterp line(x, y);
    SteffenSpline spline(x, y);
    const Eigen::MatrixXd a = line.valuesAt(x);
    const Eigen::MatrixXd b = spline.valuesAt(x);
    QVERIFY((a - y).cwiseAbs().maxCoeff() < 1e-9);
    QVERIFY((b - y).cwiseAbs().maxCoeff() < 1e-9);
    QCOMPARE(line.valuesAt(Eigen::VectorXd()).rows(), Eigen::Index(0));
    QCOMPARE(line.valuesAt(Eigen::VectorXd()).cols(), Eigen::Index(3));
}

void TestInterp::steffenIsMonotone()
{
    const Eigen::VectorXd x = vec({0, 1, 1.5, 4, 4.2, 7});
    Eigen::MatrixXd y(6, 2);
    y.col(0) << 0, 0.1, 3, 3.2, 9, 9.1;   // rising, with sharp steps
    y.col(1) << 0, 2, 5, 1, 1, 0;          // a peak and a flat stretch
    SteffenSpline s(x, y);
    double previous = -1;
    for (double t = 0; t <= 7; t += 0.01) {
        const Eigen::VectorXd v = s.valueAt(t);
        QVERIFY(v[0] >= previous - 1e-12);
        previous = v[0];
        QVERIFY(v[1] <= 5 + 1e-12 && v[1] >= -1e-12);  // no overshoot
    }
    // The local maximum at x = 1.5 has a zero derivative.
    const double h = 1e-6;
    QVERIFY(std::abs(s.valueAt(1.5 + h)[1] - s.valueAt(1.5 - h)[1]) < 1e-9);
    // So has the flat stretch: the spline stays at 1 between 4 and 4.2.
    QCOMPARE(s.valueAt(4.1)[1], 1.0);
}

void TestInterp::intervalSearchFollowsTheNearestPointRule()
{
    // A query midway between two abscissae is equally near to both: the lower
    // is taken, and the interval found still contains the query.
    LinearInterp even(vec({0, 1, 2, 3}), Eigen::MatrixXd::Zero(4, 1));
    QCOMPARE(even.findInterval(1.5), 1);
    QCOMPARE(even.findInterval(2.5), 2);
    QCOMPARE(even.findInterval(1.0), 1);
    QCOMPARE(even.findInterval(2.0), 2);
    QCOMPARE(even.findInterval(3.0), 2);
    QCOMPARE(even.findInterval(-7), 0);
    QCOMPARE(even.findInterval(9), 2);

    std::mt19937 engine(5);
    std::uniform_real_distribution<double> draw(-1, 1);
    for (int round = 0; round < 200; ++round) {
        const int n = 2 + round % 9;
        Eigen::VectorXd x(n);
        x[0] = draw(engine);
        for (int i = 1; i < n; ++i)
            x[i] = x[i - 1] + (round % 3 == 0 ? 0.25 : std::abs(draw(engine)) + 1e-3);
        if (round % 5 == 0 && n > 3)
            x[2] = x[1];  // a repeated abscissa takes the literal scan
        LinearInterp li(x, Eigen::MatrixXd::Zero(n, 1));
        for (int q = 0; q < 50; ++q) {
            const double t = q % 4 == 0 ? x[q % n] : x[0] + (x[n - 1] - x[0] + 1) * (draw(engine) + 1) / 2 - 0.5;
            QCOMPARE(li.findInterval(t), referenceInterval(x, t));
        }
    }
}

void TestInterp::aRepeatedAbscissaIsAStep()
{
    // Each side of the step is its own straight line; at the step the value
    // after it holds, and each end piece extrapolates.
    Eigen::MatrixXd y(4, 2);
    y << 0, 0, 0, 1000, 12, 2000, 12, 5000;
    LinearInterp line(vec({0, 1000, 1000, 4000}), y);
    QCOMPARE(line.valueAt(999), vec({0, 999}));
    QCOMPARE(line.valueAt(1000), vec({12, 2000}));
    QCOMPARE(line.valueAt(1001), vec({12, 2001}));
    QCOMPARE(line.valueAt(-1000), vec({0, -1000}));
    QCOMPARE(line.valueAt(5000), vec({12, 6000}));

    // Two humps of the three-point spline, each with its own end rules.
    Eigen::MatrixXd humps(6, 1);
    humps << 0, 1, 0, 5, 6, 5;
    SteffenSpline spline(vec({0, 1, 2, 2, 3, 4}), humps);
    QCOMPARE(spline.valueAt(0.5)[0], 0.75);
    QCOMPARE(spline.valueAt(2)[0], 5.0);
    QCOMPARE(spline.valueAt(2.5)[0], 5.75);
    QCOMPARE(spline.valueAt(-1)[0], -3.0);
    QCOMPARE(spline.valueAt(5)[0], 2.0);

    // Three equal abscissae: the last one's value holds from the step on; a
    // step at the end holds its value beyond.
    Eigen::MatrixXd run(5, 1);
    run << 0, 1, 7, 3, 3;
    Eigen::MatrixXd end(3, 1);
    end << 0, 1, 5;
    for (bool cubic : {false, true}) {
        const auto make = [cubic](const Eigen::VectorXd& x, const Eigen::MatrixXd& y) -> std::unique_ptr<Interp> {
            if (cubic)
                return std::make_unique<SteffenSpline>(x, y);
            return std::make_unique<LinearInterp>(x, y);
        };
        const auto r = make(vec({0, 1, 1, 1, 2}), run);
        QCOMPARE(r->valuesAt(vec({0.5, 1, 1.5, 9})), (Eigen::MatrixXd(4, 1) << 0.5, 3, 3, 3).finished());
        const auto e = make(vec({0, 1, 1}), end);
        QCOMPARE(e->valuesAt(vec({-1, 0.5, 1, 9})), (Eigen::MatrixXd(4, 1) << -1, 0.5, 5, 5).finished());
    }
}

void TestInterp::degenerateInput()
{
    Capture capture;
    LinearInterp mismatched(vec({0, 1, 2}), Eigen::MatrixXd::Zero(2, 2));
    SteffenSpline mismatchedSpline(vec({0, 1}), Eigen::MatrixXd::Zero(3, 1));
    QCOMPARE(capture.outLines(), QStringList({"The size of input arrays are not equal!",
                                              "The size of input arrays are not equal!"}));
    QCOMPARE(mismatched.valueAt(0.5).size(), Eigen::Index(2));
    QVERIFY(std::isnan(mismatched.valueAt(0.5)[1]));
    QVERIFY(std::isnan(mismatchedSpline.valueAt(0.5)[0]));

    // One point: its value everywhere.
    Eigen::MatrixXd one(1, 1);
    one << 7;
    QCOMPARE(LinearInterp(vec({3}), one).valueAt(-100)[0], 7.0);
    QCOMPARE(SteffenSpline(vec({3}), one).valueAt(100)[0], 7.0);

    // Two points make a straight Steffen line.
    Eigen::MatrixXd two(2, 1);
    two << 1, 3;
    QCOMPARE(SteffenSpline(vec({0, 2}), two).valueAt(1)[0], 2.0);
    QCOMPARE(SteffenSpline(vec({0, 2}), two).valueAt(4)[0], 5.0);
}

QTEST_GUILESS_MAIN(TestInterp)
#include "tst_interp.moc"
