#include "solver/ccxanalyser.h"

#include "core/messages.h"
#include "fem/model.h"
#include "solver/ccxcmd.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace Folvane {

CCXAnalyser::CCXAnalyser(Model* model, const QString& workDir, const QString& program, bool clearResults)
    : Analyser(model, workDir, program.isEmpty() ? QStringLiteral("ccx") : program, clearResults)
{
    m_suffixes = QStringLiteral(".12d .cvg .dat .frd .inp .sta").split(QLatin1Char(' '));
    m_writer = std::make_unique<CCXCmd>(model);
}

QStringList CCXAnalyser::BuildCommand(const QString& job) const
{
    return {m_program, QStringLiteral("-i"), job};
}

void CCXAnalyser::setThreadEnvironment(QProcessEnvironment& environment) const
{
    const QString count = QString::number(threads());
    for (const char* name : {"OMP_NUM_THREADS", "CCX_NPROC_STIFFNESS", "CCX_NPROC_EQUATION_SOLVER", "CCX_NPROC_RESULTS"})
        environment.insert(QLatin1String(name), count);
}

QStringList CCXAnalyser::resultFiles(const QString& job) const
{
    return {pathOf(job, QStringLiteral(".dat"))};
}

bool CCXAnalyser::isErrorLine(const QByteArray& line) const
{
    return line.trimmed().startsWith("*ERROR");
}

bool CCXAnalyser::ReadResults(int loadCase, const QString& job)
{
    QFile dat(pathOf(job, QStringLiteral(".dat")));
    if (!dat.open(QIODevice::ReadOnly))
        return false;
    return ReadCCXResults(dat, *m_model, loadCase);
}

namespace {

// The lines of a .dat file and the fields of the current one. CalculiX's
// lines are short; a longer one is read in pieces and fails as a number.
constexpr qint64 MaxLine = 4096;

class DatLines
{
public:
    explicit DatLines(QIODevice& device)
        : m_device(device)
    {
    }

    // False at the end of the file.
    bool next()
    {
        if (m_device.atEnd())
            return false;
        m_line = m_device.readLine(MaxLine);
        ++m_number;
        return true;
    }
    bool isBlank() const { return m_line.trimmed().isEmpty(); }
    const QByteArray& line() const { return m_line; }
    bool contains(const char* word) const { return m_line.contains(word); }
    int number() const { return m_number; }

    // The first count fields as numbers; false when one is missing or not a number.
    bool fields(double* values, int count) const
    {
        const char* p = m_line.constData();
        const char* end = p + m_line.size();
        for (int i = 0; i < count; ++i) {
            while (p < end && (*p == ' ' || *p == '\t'))
                ++p;
            const auto parsed = std::from_chars(p, end, values[i]);
            if (parsed.ec != std::errc() || (parsed.ptr < end && !std::isspace(static_cast<unsigned char>(*parsed.ptr))))
                return false;
            p = parsed.ptr;
        }
        return true;
    }

private:
    QIODevice& m_device;
    QByteArray m_line;
    int m_number = 0;
};

bool fail(const QString& problem, const DatLines& lines)
{
    outLine(QStringLiteral("CCXAnalyser - ReadResults: line %1: %2").arg(lines.number()).arg(problem));
    return false;
}

// A whole number in 1 ... count, from a field read as a double.
bool validNumber(double value, long long count)
{
    return value >= 1 && value <= double(count) && value == std::floor(value);
}

// Which nodes and elements a file gave results for.
struct Coverage
{
    std::vector<char> nodes, stresses, strains;
};

// The rows of a displacement block, its heading read, up to the blank line
// after them: every corner node's row goes to store(index, x, y, z); middle
// nodes carry no results of their own.
template <typename Store>
bool readDisplacementRows(DatLines& lines, const Model& model, Store&& store)
{
    const long long corners = model.nodes().count();
    const long long all = corners + model.edges().count();
    lines.next();  // the blank line under the heading
    double v[4];
    while (lines.next() && !lines.isBlank()) {
        if (!lines.fields(v, 4))
            return fail(QStringLiteral("not a displacement"), lines);
        if (!validNumber(v[0], all))
            return fail(QStringLiteral("node %1 is not in the model").arg(v[0]), lines);
        if (v[0] <= double(corners))
            store(int(v[0]) - 1, v[1], v[2], v[3]);
    }
    return true;
}

bool readDisplacements(DatLines& lines, Model& model, int loadCase, std::vector<char>& seen)
{
    return readDisplacementRows(lines, model, [&](int node, double x, double y, double z) {
        model.nodes().at(node)->displacement().block(0, loadCase, 3, 1) << x, y, z;
        seen[size_t(node)] = 1;
    });
}

bool readElementBlock(DatLines& lines, Model& model, int loadCase, bool stresses, std::vector<char>& seen)
{
    const long long elements = model.elements().count();
    lines.next();  // the blank line under the heading
    bool more = lines.next();
    double v[8];
    std::vector<double> rows;
    while (more && !lines.isBlank()) {
        if (!lines.fields(v, 8))
            return fail(QStringLiteral("not an integration point result"), lines);
        const double element = v[0];
        if (!validNumber(element, elements))
            return fail(QStringLiteral("element %1 is not in the model").arg(element), lines);
        rows.clear();
        do {
            rows.insert(rows.end(), v + 2, v + 8);
            more = lines.next();
            if (!more || lines.isBlank())
                break;
            if (!lines.fields(v, 8))
                return fail(QStringLiteral("not an integration point result"), lines);
        } while (v[0] == element);
        const Eigen::MatrixXd table = Eigen::Map<const Eigen::Matrix<double, Eigen::Dynamic, 6, Eigen::RowMajor>>(
            rows.data(), Eigen::Index(rows.size() / 6), 6);
        Element* e = model.elements().at(int(element) - 1);
        if (!(stresses ? e->LoadCCXResultStress(loadCase, table) : e->LoadCCXResultStrain(loadCase, table)))
            return false;
        seen[size_t(element) - 1] = 1;
    }
    return true;
}

// A table under a heading: the heading's lines up to its first row of
// numbers are passed over, then every row up to the blank line after it.
template <typename Row>
bool readTable(DatLines& lines, int fields, Row&& row)
{
    double v[5];
    while (lines.next() && (lines.isBlank() || !lines.fields(v, 1)))
        ;
    do {
        if (lines.isBlank())
            break;
        if (!lines.fields(v, fields))
            return fail(QStringLiteral("not a row of the eigenvalue table"), lines);
        if (!row(v))
            return false;
    } while (lines.next());
    return true;
}

bool readModeShape(DatLines& lines, const Model& model, int mode, EigenModes& result, std::vector<char>& seen)
{
    while (lines.next() && !lines.contains("displacements"))
        if (!lines.isBlank())
            return fail(QStringLiteral("no displacements of mode %1").arg(mode), lines);
    return readDisplacementRows(lines, model, [&](int node, double x, double y, double z) {
        result.shapes.block(3 * Eigen::Index(node), mode - 1, 3, 1) << x, y, z;
        seen[size_t(node)] = 1;
    });
}

} // namespace

bool ReadCCXEigen(QIODevice& dat, const Model& model, bool buckling, EigenModes& result)
{
    result = EigenModes();
    const char* heading = buckling ? "B U C K L I N G   F A C T O R   O U T P U T" : "E I G E N V A L U E   O U T P U T";
    const size_t corners = size_t(model.nodes().count());
    std::vector<std::vector<char>> seen;
    DatLines lines(dat);
    while (lines.next()) {
        if (lines.contains(heading)) {
            const bool ok = readTable(lines, buckling ? 2 : 5, [&](const double* v) {
                if (v[0] != double(result.values.size() + 1))
                    return fail(QStringLiteral("mode %1 out of order").arg(v[0]), lines);
                // Frequencies in cycles per time unit, the fourth column.
                result.values.push_back(buckling ? v[1] : v[3]);
                return true;
            });
            if (!ok)
                return false;
            result.shapes = Eigen::MatrixXd::Zero(Eigen::Index(3 * corners), Eigen::Index(result.values.size()));
            seen.assign(result.values.size(), std::vector<char>(corners, 0));
        } else if (lines.contains("E I G E N V A L U E    N U M B E R")) {
            const int mode = lines.line().simplified().split(' ').last().toInt();
            if (mode < 1 || mode > int(result.values.size()))
                return fail(QStringLiteral("a shape of mode %1, which the table does not give").arg(mode), lines);
            if (!readModeShape(lines, model, mode, result, seen[size_t(mode - 1)]))
                return false;
        }
    }
    if (result.values.empty()) {
        outLine(QStringLiteral("CCXAnalyser - ReadEigen: the file gives no %1")
                    .arg(buckling ? QStringLiteral("buckling factors") : QStringLiteral("frequencies")));
        return false;
    }
    for (size_t m = 0; m < seen.size(); ++m) {
        const qint64 covered = qint64(std::count(seen[m].begin(), seen[m].end(), 1));
        if (covered < qint64(corners)) {
            outLine(QStringLiteral("CCXAnalyser - ReadEigen: the shape of mode %1 gives %2 of %3 nodes")
                        .arg(m + 1).arg(covered).arg(corners));
            return false;
        }
    }
    return true;
}

bool CCXAnalyser::RunEigen(CCXCmd::Step step, int modes, int loadCase, EigenModes& result)
{
    const bool buckling = step == CCXCmd::Step::Buckle;
    const QString job = m_model->name() + (buckling ? QStringLiteral("-buckle") : QStringLiteral("-modal"));
    const std::unique_ptr<QLockFile> lock = lockJob(job);
    // Results of an earlier run must never pass for this one's.
    for (const QString& suffix : qAsConst(m_suffixes))
        QFile::remove(pathOf(job, suffix));
    CCXCmd writer(m_model);
    writer.setStep(step, modes);
    const QString deck = pathOf(job, QStringLiteral(".inp"));
    writer.BuildFullInp(deck, buckling ? loadCase : 0);
    outLine(buckling ? QStringLiteral("Starting buckling analysis of %1: Load case %2, %3 modes").arg(job).arg(loadCase + 1).arg(modes)
                     : QStringLiteral("Starting modal analysis of %1: %2 modes").arg(job).arg(modes));
    QString failure;
    const bool ran = QFileInfo::exists(deck) && runSolver(job, failure);
    if (cancelled())
        return false;
    outLine(QStringLiteral("Analysis finished"));
    if (!failure.isEmpty())
        outLine(QStringLiteral("Analyser - RunEigen: job %1 failed: %2").arg(job, failure));
    QFile dat(pathOf(job, QStringLiteral(".dat")));
    const bool ok = ran && dat.open(QIODevice::ReadOnly) && ReadCCXEigen(dat, *m_model, buckling, result);
    result.buckling = buckling;
    outLine(ok ? QStringLiteral("Reading results finished") : QStringLiteral("Cannot read the results"));
    return ok;
}

bool ReadCCXResults(QIODevice& dat, Model& model, int loadCase)
{
    if (loadCase < 0 || loadCase >= model.loads().ReadLoadNum())
        return false;
    // Results have room only for the load cases they were sized for.
    if (loadCase >= model.nodes().loadCaseCount() || loadCase >= model.elements().loadCaseCount())
        return false;
    Coverage seen;
    seen.nodes.assign(size_t(model.nodes().count()), 0);
    seen.stresses.assign(size_t(model.elements().count()), 0);
    seen.strains.assign(size_t(model.elements().count()), 0);
    DatLines lines(dat);
    while (lines.next()) {
        bool ok = true;
        if (lines.contains("displacements")) {
            outLine(QStringLiteral("Reading CCX data - Node displacement"));
            ok = readDisplacements(lines, model, loadCase, seen.nodes);
        } else if (lines.contains("stresses")) {
            outLine(QStringLiteral("Reading CCX data - Element stress"));
            ok = readElementBlock(lines, model, loadCase, true, seen.stresses);
        } else if (lines.contains("strains")) {
            outLine(QStringLiteral("Reading CCX data - Element strain"));
            ok = readElementBlock(lines, model, loadCase, false, seen.strains);
        }
        if (!ok)
            return false;
    }
    auto covered = [](const std::vector<char>& v) { return qint64(std::count(v.begin(), v.end(), 1)); };
    const qint64 nodes = covered(seen.nodes), stresses = covered(seen.stresses), strains = covered(seen.strains);
    if (nodes < qint64(seen.nodes.size()) || stresses < qint64(seen.stresses.size())
        || strains < qint64(seen.strains.size())) {
        outLine(QStringLiteral("CCXAnalyser - ReadResults: the file gives displacements of %1 of %2 nodes, "
                               "stresses of %3 and strains of %4 of %5 elements")
                    .arg(nodes).arg(seen.nodes.size()).arg(stresses).arg(strains).arg(seen.stresses.size()));
        return false;
    }
    return true;
}

} // namespace Folvane
