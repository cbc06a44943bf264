#include "capture.h"
#include "core/messages.h"
#include "core/textbuffer.h"

#include <QtTest>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <random>

using namespace Folvane;

namespace {

QString printfG(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return QString::fromLatin1(buffer);
}

QString ours(double v)
{
    char buffer[32];
    return QString::fromLatin1(buffer, formatG(buffer, v));
}

} // namespace

class TestTextBuffer : public QObject
{
    Q_OBJECT

private slots:
    void numbersAsPrintfWritesThem();
    void randomNumbersAsPrintfWritesThem();
    void appending();
    void quietScopesNest();
};

void TestTextBuffer::numbersAsPrintfWritesThem()
{
    // Ties and near-ties of the sixth digit, powers of ten, the notation
    // switch at 1e-4 and 1e6, and the values decks are full of.
    const double values[] = {0.0, -0.0, 1.0, 0.1, 1e-6, 1e-5, 1e-4, 0.0001, 9.99999e-5, 1e5, 1e6, 999999.0,
                             999999.5, 9999995.0, 617283.5, 617284.5, 0.5, 2.5, 12.3456789, -12.34565,
                             1.5e-9, 7.85e-9, 35000, 0.2, 1234567, 123456.5, 1e300, -1e-300, 5e-324, DBL_MAX,
                             DBL_MIN, 0.125, 1.0000005, 3.14159265358979, -1.2583851944036209e308, 100,
                             1e15, 1e16, 1e21, 1e22, 1e23, 1e-27, 1e-28, 4.35e-5};
    for (double v : values)
        QCOMPARE(ours(v), printfG(v));
    QCOMPARE(ours(std::nan("")), QString("nan"));
    QCOMPARE(ours(INFINITY), QString("inf"));
    QCOMPARE(ours(-INFINITY), QString("-inf"));
}

void TestTextBuffer::randomNumbersAsPrintfWritesThem()
{
    std::mt19937_64 engine(2024);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-40, 40);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 300000; ++i) {
        const double v = mantissa(engine) * std::pow(10.0, exponent(engine));
        QCOMPARE(ours(v), printfG(v));
        // Short decimals and their halves: where rounding ties live.
        const double tie = std::round(mantissa(engine) * 1e7) / 2e1;
        QCOMPARE(ours(tie), printfG(tie));
        double any;
        const std::uint64_t b = bits(engine);
        std::memcpy(&any, &b, sizeof any);
        QCOMPARE(ours(any), printfG(any));
    }
}

void TestTextBuffer::appending()
{
    TextBuffer text;
    text << "a" << ' ' << 42 << ',' << -7LL << ',' << 18446744073709551615ULL << ',' << 0.5 << ','
         << QString("ä") << QByteArray("b");
    QCOMPARE(text.bytes(), QByteArray("a 42,-7,18446744073709551615,0.5,\xc3\xa4" "b"));
    TextBuffer integers;
    integers << 0 << ' ' << -2147483647 - 1 << ' ' << (-9223372036854775807LL - 1) << ' ' << 9 << ' ' << 10 << ' '
             << 99 << ' ' << 100 << ' ' << -5;
    QCOMPARE(integers.bytes(), QByteArray("0 -2147483648 -9223372036854775808 9 10 99 100 -5"));
    TextBuffer big;
    for (int i = 0; i < 100000; ++i)
        big << "line " << i << '\n';
    QCOMPARE(big.size(), size_t(QByteArray().size()) + big.bytes().size());
    QVERIFY(big.bytes().endsWith("line 99999\n"));
    TextBuffer copy;
    copy << big;
    QCOMPARE(copy.bytes(), big.bytes());
}

void TestTextBuffer::quietScopesNest()
{
    Capture capture;
    {
        Folvane::QuietDebug outer;
        {
            Folvane::QuietDebug inner;
            qDebug("dropped");
            qInfo("passed on");
        }
        qDebug("dropped");
        qInfo("passed on");
    }
    // Once both scopes are gone, debug lines arrive again.
    qDebug("kept");
    QCOMPARE(capture.debugLines(), QStringList({"kept"}));
}

QTEST_GUILESS_MAIN(TestTextBuffer)
#include "tst_textbuffer.moc"
