#include "opt/interrupt.h"

#include <atomic>
#include <csignal>

namespace Folvane {

namespace {

// A signal handler can reach nothing but a lock-free flag.
std::atomic<int> g_signal{0};
struct sigaction g_previousInt;
struct sigaction g_previousTerm;

extern "C" void markInterrupt(int signal)
{
    g_signal.store(signal);
}

} // namespace

InterruptGuard::InterruptGuard()
{
    g_signal.store(0);
    struct sigaction action = {};
    action.sa_handler = markInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
}

int InterruptGuard::signal()
{
    return g_signal.load();
}

} // namespace Folvane
