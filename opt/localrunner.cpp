#include "opt/localrunner.h"

#include "core/processtree.h"
#include "opt/interrupt.h"

#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

namespace Folvane {

LocalRunner::LocalRunner(const QString& program, int threads, int timeLimit, int workers)
    : DesignRunner(program, threads, timeLimit)
    , m_workers(std::max(workers, 1))
{
}

namespace {

struct Worker
{
    std::unique_ptr<QProcess> process;
    QElapsedTimer clock;
    size_t task = 0;
    bool timedOut = false;
};

} // namespace

bool LocalRunner::run(const std::vector<DesignTask>& tasks, std::vector<DesignOutcome>& outcomes)
{
    outcomes.assign(tasks.size(), DesignOutcome());
    m_error.clear();
    std::vector<std::unique_ptr<Worker>> running;
    size_t next = 0;
    size_t finished = 0;
    QEventLoop loop;

    auto finish = [&](Worker* worker) {
        QProcess& p = *worker->process;
        DesignOutcome outcome = readStatus(tasks[worker->task].folder);
        if (worker->timedOut) {
            outcome = DesignOutcome();
            outcome.why = QStringLiteral("it ran past the time limit of %1 s").arg(m_timeLimit);
        } else if (p.exitStatus() != QProcess::NormalExit) {
            outcome.evaluated = false;
            outcome.why = QStringLiteral("its worker crashed");
        } else if (p.exitCode() != 0) {
            outcome.evaluated = false;
            outcome.why = QStringLiteral("its worker exited with code %1").arg(p.exitCode());
        }
        outcomes[worker->task] = outcome;
        ++finished;
    };
    std::function<void()> startNext;
    startNext = [&]() {
        while (next < tasks.size() && int(running.size()) < m_workers) {
            auto worker = std::make_unique<Worker>();
            worker->task = next++;
            const DesignTask& task = tasks[worker->task];
            worker->process = std::make_unique<QProcess>();
            QProcess& p = *worker->process;
            p.setWorkingDirectory(task.folder);
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.setStandardOutputFile(task.folder + QStringLiteral("/log.txt"));
            QFile::remove(statusPath(task.folder));
            // Started directly: nothing in a folder or job name reaches a shell.
            p.start(m_program, workerArguments(task));
            worker->clock.start();
            if (!p.waitForStarted(-1)) {
                outcomes[worker->task].why = QStringLiteral("its worker cannot start: ") + p.errorString();
                ++finished;
                continue;
            }
            Worker* raw = worker.get();
            QObject::connect(&p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, [&, raw] {
                finish(raw);
                running.erase(std::find_if(running.begin(), running.end(),
                                           [raw](const std::unique_ptr<Worker>& w) { return w.get() == raw; }));
                startNext();
                if (finished == tasks.size())
                    loop.quit();
            }, Qt::QueuedConnection);
            running.push_back(std::move(worker));
        }
    };

    // Time limits and interrupts are looked at a few times a second.
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (InterruptGuard::signal() != 0) {
            loop.quit();
            return;
        }
        for (const auto& worker : running) {
            if (m_timeLimit > 0 && !worker->timedOut && worker->clock.elapsed() > qint64(m_timeLimit) * 1000) {
                worker->timedOut = true;
                killProcessTree(worker->process->processId());
            }
        }
    });
    startNext();
    if (finished < tasks.size()) {
        tick.start();
        loop.exec();
    }
    if (InterruptGuard::signal() != 0) {
        for (const auto& worker : running) {
            worker->process->disconnect(&loop);
            killProcessTree(worker->process->processId());
            worker->process->waitForFinished(-1);
        }
        m_error = QStringLiteral("interrupted");
        return false;
    }
    return true;
}

} // namespace Folvane
