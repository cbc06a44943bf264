#include "solver/ansysanalyser.h"

#include "core/messages.h"
#include "fem/model.h"
#include "solver/ansyscmd.h"

#include <QFile>
#include <algorithm>

namespace Folvane {

const std::array<const char*, 7> AnsysAnalyser::ResultSuffixes = {
    "_Node.output", "_EleS1.output", "_EleS2.output", "_EleS12.output", "_EleE1.output", "_EleE2.output",
    "_EleE12.output"};

AnsysAnalyser::AnsysAnalyser(Model* model, const QString& workDir, const QString& program)
    : Analyser(model, workDir, program)
{
    m_suffixes = QStringLiteral(".out .esav .BCS .mntr .full .s01 .log .stat .err .page .inp .db .rst .output")
                     .split(QLatin1Char(' '));
    m_writer = std::make_unique<AnsysCmd>(model);
}

QString AnsysAnalyser::jobName() const
{
    return AnsysCmd::jobName(*m_model);
}

QStringList AnsysAnalyser::BuildCommand(const QString& job) const
{
    return {m_program,       QStringLiteral("-b"), QStringLiteral("-np"), QString::number(threads()),
            QStringLiteral("-i"), job + QStringLiteral(".inp"), QStringLiteral("-o"), job + QStringLiteral(".out")};
}

QStringList AnsysAnalyser::resultFiles(const QString& job) const
{
    QStringList files;
    for (const char* suffix : ResultSuffixes)
        files << pathOf(job, QLatin1String(suffix));
    return files;
}

void AnsysAnalyser::CleanFiles(const QString& job)
{
    Analyser::CleanFiles(job);
    for (const char* name : {"/file.err", "/file.log", "/file.lock"})
        QFile::remove(m_workDir + QLatin1String(name));
}

bool AnsysAnalyser::ReadResults(int loadCase, const QString& job)
{
    std::array<std::unique_ptr<QFile>, 7> files;
    for (size_t i = 0; i < files.size(); ++i) {
        files[i] = std::make_unique<QFile>(pathOf(job, QLatin1String(ResultSuffixes[i])));
        if (!files[i]->open(QIODevice::ReadOnly | QIODevice::Text))
            return false;
    }
    return ReadAnsysResults(*files[0], {files[1].get(), files[2].get(), files[3].get(), files[4].get(),
                                        files[5].get(), files[6].get()},
                            *m_model, loadCase);
}

namespace {

// Result lines are short; a longer one is read in pieces and fails as a
// number.
constexpr qint64 MaxLine = 4096;

// One value per line, each line a whole number text.
class ValueLines
{
public:
    ValueLines(QIODevice& device, const char* name)
        : m_device(device)
        , m_name(name)
    {
    }

    bool next(double& value)
    {
        if (m_device.atEnd()) {
            outLine(QStringLiteral("AnsysAnalyser - ReadResults: %1 ends early").arg(QLatin1String(m_name)));
            return false;
        }
        ++m_line;
        bool ok = false;
        value = QString::fromLatin1(m_device.readLine(MaxLine).trimmed()).toDouble(&ok);
        if (!ok)
            outLine(QStringLiteral("AnsysAnalyser - ReadResults: line %1 of %2 is not a number")
                        .arg(m_line).arg(QLatin1String(m_name)));
        return ok;
    }

private:
    QIODevice& m_device;
    const char* m_name;
    int m_line = 0;
};

} // namespace

bool ReadAnsysResults(QIODevice& nodes, std::array<QIODevice*, 6> elements, Model& model, int loadCase)
{
    if (loadCase < 0 || loadCase >= model.loads().ReadLoadNum())
        return false;
    // Results have room only for the load cases they were sized for.
    if (loadCase >= model.nodes().loadCaseCount() || loadCase >= model.elements().loadCaseCount())
        return false;
    ValueLines nodeLines(nodes, AnsysAnalyser::ResultSuffixes[0]);
    double value = 0.0;
    for (int n = 0; n < model.nodes().count(); ++n) {
        for (int k = 0; k < 6; ++k) {
            if (!nodeLines.next(value))
                return false;
            model.nodes().at(n)->displacement()(k, loadCase) = value;
        }
    }

    std::vector<ValueLines> lines;
    for (size_t f = 0; f < elements.size(); ++f)
        lines.emplace_back(*elements[f], AnsysAnalyser::ResultSuffixes[f + 1]);
    const Element::Result targets[6] = {Element::S11, Element::S22, Element::S12,
                                        Element::E11, Element::E22, Element::E12};
    const int layers = model.sections().maxPlyCount();
    for (int i = 0; i < model.elements().count(); ++i) {
        Element* e = model.elements().at(i);
        // The plies there is room for (those of the section, unless it
        // changed after the results were sized).
        const int plies = std::min(e->plyCount(), int(e->result(Element::S11).rows()));
        for (int layer = 0; layer < layers; ++layer) {
            for (int f = 0; f < 6; ++f) {
                if (!lines[size_t(f)].next(value)) {
                    e->CalcVonMises();
                    return false;
                }
                // Rows beyond the element's own plies are read and dropped;
                // the deck lists the plies last first.
                if (layer < plies)
                    e->result(targets[f])(plies - 1 - layer, loadCase) = value;
            }
        }
        e->CalcVonMises();
    }
    return true;
}

} // namespace Folvane
