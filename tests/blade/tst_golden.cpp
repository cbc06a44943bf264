// The default blade's CalculiX deck and result table, as `-analyse` writes
// them, against the reviewed copies under tests/blade/golden. A change that
// moves them fails here; scripts/golden.sh writes the new ones, whose diff
// is then reviewed with the change.

#include "files.h"
#include "program.h"

#include <QtTest>
#include <cmath>

namespace {

QString golden(const QString& name)
{
    return QStringLiteral(FOLVANE_GOLDEN_DIR "/") + name;
}

// The rows of numbers of a result table (after its header line).
std::vector<std::vector<double>> tableRows(const QByteArray& table)
{
    std::vector<std::vector<double>> rows;
    const QList<QByteArray> lines = table.split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        std::vector<double> row;
        for (const QByteArray& v : lines[i].simplified().split(' '))
            row.push_back(v.toDouble());
        rows.push_back(row);
    }
    return rows;
}

} // namespace

class TestGolden : public QObject
{
    Q_OBJECT

private slots:
    void defaultBlade();
};

void TestGolden::defaultBlade()
{
    ProgramFolder folder;
    QCOMPARE(folder.run({"-autowebopt", "none.fvm", "blade.fvm"}).exitCode, 0);
    const ProgramRun run = folder.run({"-analyse", folder.path("blade.fvm"), "1"}, "run");
    QCOMPARE(run.exitCode, 0);

    // The deck, byte for byte.
    const QByteArray deck = fileBytes(folder.path("work/NewBlade.inp"));
    const QByteArray expectedDeck = fileBytes(golden("NewBlade-1.inp"));
    QVERIFY(!expectedDeck.isEmpty());
    if (deck != expectedDeck) {
        const QList<QByteArray> a = deck.split('\n'), b = expectedDeck.split('\n');
        int line = 0;
        while (line < std::min(a.size(), b.size()) && a[line] == b[line])
            ++line;
        QFAIL(qPrintable(QString("the deck differs from line %1: '%2', golden '%3'")
                             .arg(line + 1)
                             .arg(QString::fromUtf8(a.value(line)), QString::fromUtf8(b.value(line)))));
    }

    // The table: its header exactly, every value to a relative 1e-4 (the
    // solver's own rounding), values far below their column's largest as
    // zeros.
    const QByteArray table = fileBytes(folder.path("run/NewBlade-1.out"));
    const QByteArray expectedTable = fileBytes(golden("NewBlade-1.out"));
    QCOMPARE(table.left(table.indexOf('\n')), expectedTable.left(expectedTable.indexOf('\n')));
    const auto rows = tableRows(table), expected = tableRows(expectedTable);
    QCOMPARE(rows.size(), expected.size());
    QVERIFY(!rows.empty());
    for (size_t c = 0; c < expected.front().size(); ++c) {
        double largest = 0;
        for (const auto& row : expected)
            largest = std::max(largest, std::abs(row[c]));
        for (size_t r = 0; r < rows.size(); ++r) {
            QCOMPARE(rows[r].size(), expected[r].size());
            const double scale = std::max(std::abs(expected[r][c]), 1e-4 * largest);
            QVERIFY2(std::abs(rows[r][c] - expected[r][c]) <= 1e-4 * scale,
                     qPrintable(QString("row %1, column %2: %3, golden %4")
                                    .arg(r + 1).arg(c + 1).arg(rows[r][c], 0, 'g', 9).arg(expected[r][c], 0, 'g', 9)));
        }
    }
}

QTEST_GUILESS_MAIN(TestGolden)
#include "tst_golden.moc"
