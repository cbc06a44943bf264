#ifndef FOLVANE_LOCALRUNNER_H
#define FOLVANE_LOCALRUNNER_H

#include "opt/designrunner.h"

namespace Folvane {

// Evaluates designs on this machine, a number of workers at once, each a
// process of its own. A worker past the time limit is ended with its
// solver; an interrupt ends them all.
class LocalRunner : public DesignRunner
{
public:
    LocalRunner(const QString& program, int threads, int timeLimit, int workers);
    bool run(const std::vector<DesignTask>& tasks, std::vector<DesignOutcome>& outcomes) override;

private:
    int m_workers = 1;
};

} // namespace Folvane

#endif
