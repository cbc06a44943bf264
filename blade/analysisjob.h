#ifndef FOLVANE_ANALYSISJOB_H
#define FOLVANE_ANALYSISJOB_H

#include "blade/kanalysis.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>

namespace Folvane {

struct FEBuild;
class KBlade;

// One analysis of the document's FE model that runs off the main thread:
// prepared there (the parameter engine and the build live on it), run on
// another, and finished on the main thread again, where the model and its
// results go back to the document.
class AnalysisJob
{
public:
    enum Kind { Static = 0, Buckling = 1, Modal = 2 };

    ~AnalysisJob();
    AnalysisJob(const AnalysisJob&) = delete;
    AnalysisJob& operator=(const AnalysisJob&) = delete;

    // Builds the FE model when the document has none and borrows it; null,
    // with the reason in why, when there is nothing to run.
    static std::unique_ptr<AnalysisJob> prepare(KBlade& blade, Kind kind, int loadInd, int modes, QString& why);

    Kind kind() const { return m_kind; }
    int loadCase() const { return m_loadInd; }
    // On any one thread; progress gets the solver's lines as they come.
    void run(const std::function<void(const QString&)>& progress = {});
    // From any thread: ends the solver; the run then fails as cancelled.
    void cancel() { m_cancel = true; }
    bool cancelled() const { return m_cancel; }
    bool succeeded() const { return m_succeeded; }
    // On the main thread, after run: the model back to the document. False
    // when the document has built or dropped its model since (the results
    // are then dropped too).
    bool finish(KBlade& blade);

private:
    AnalysisJob() = default;

    std::unique_ptr<FEBuild> m_build;
    Kind m_kind = Static;
    int m_loadInd = 0;
    int m_modes = 0;
    KAnalysis::Solver m_solver = KAnalysis::Calculix;
    QString m_workDir;
    QString m_program;
    int m_threads = 1;
    std::atomic_bool m_cancel{false};
    bool m_succeeded = false;
};

} // namespace Folvane

#endif
