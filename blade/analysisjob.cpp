#include "blade/analysisjob.h"

#include "blade/febuild.h"
#include "blade/kblade.h"
#include "core/messages.h"
#include "solver/ansysanalyser.h"

namespace Folvane {

AnalysisJob::~AnalysisJob() = default;

std::unique_ptr<AnalysisJob> AnalysisJob::prepare(KBlade& blade, Kind kind, int loadInd, int modes, QString& why)
{
    const KAnalysis* settings = blade.anaSet();
    if (kind == Static && settings->type() == KAnalysis::Abaqus) {
        why = QStringLiteral("Abaqus input is written but not run; choose ANSYS or CalculiX");
        return nullptr;
    }
    if (kind != Modal && (loadInd < 0 || loadInd >= blade.loadNum())) {
        why = QStringLiteral("load case %1 not found").arg(loadInd + 1);
        return nullptr;
    }
    if (kind != Static && (modes < 1 || modes > 100)) {
        why = QStringLiteral("%1 modes asked for, 1 to 100 can be").arg(modes);
        return nullptr;
    }
    if (blade.elementCount() == 0)
        blade.genFEModel();
    std::unique_ptr<FEBuild> build = blade.lendFEBuild();
    if (!build || build->model->elements().count() == 0) {
        blade.takeBackFEBuild(std::move(build));
        why = QStringLiteral("the FE model cannot be built");
        return nullptr;
    }
    std::unique_ptr<AnalysisJob> job(new AnalysisJob);
    job->m_build = std::move(build);
    job->m_kind = kind;
    job->m_loadInd = kind == Modal ? 0 : loadInd;
    job->m_modes = modes;
    job->m_solver = settings->type();
    job->m_workDir = settings->workDir();
    job->m_threads = settings->cpus();
    // Eigenvalue steps run in CalculiX whatever solver the settings name.
    job->m_program = kind == Static || settings->type() == KAnalysis::Calculix ? settings->proDir() : QString();
    return job;
}

void AnalysisJob::run(const std::function<void(const QString&)>& progress)
{
    Model* model = m_build->model.get();
    std::unique_ptr<Analyser> analyser;
    if (m_kind == Static && m_solver == KAnalysis::Ansys)
        analyser = std::make_unique<AnsysAnalyser>(model, m_workDir, m_program);
    else
        analyser = std::make_unique<CCXAnalyser>(model, m_workDir, m_program, m_kind == Static);
    analyser->setCancelFlag(&m_cancel);
    analyser->setThreads(m_threads);
    analyser->setProgress(progress);
    if (m_kind == Static) {
        m_succeeded = analyser->RunLoadCase(m_loadInd);
        // The run cleared the results of any earlier one.
        m_build->resultLoadCase = m_succeeded ? m_loadInd : -1;
        return;
    }
    m_build->eigen = EigenModes();
    m_succeeded = static_cast<CCXAnalyser*>(analyser.get())
                      ->RunEigen(m_kind == Buckling ? CCXCmd::Step::Buckle : CCXCmd::Step::Frequency, m_modes,
                                 m_loadInd, m_build->eigen);
    if (!m_succeeded)
        m_build->eigen = EigenModes();
}

bool AnalysisJob::finish(KBlade& blade)
{
    if (blade.takeBackFEBuild(std::move(m_build)))
        return true;
    outLine(QStringLiteral("KBlade - analysis: the document's FE model changed during the run; its results are dropped"));
    return false;
}

} // namespace Folvane
