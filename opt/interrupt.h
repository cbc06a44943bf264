#ifndef FOLVANE_INTERRUPT_H
#define FOLVANE_INTERRUPT_H

namespace Folvane {

// While it lives, SIGINT and SIGTERM only mark the run as interrupted: a
// long run looks at the mark where it can stop cleanly, ending what it
// started, instead of dying with half-written records. The handlers
// before it come back when it ends.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The signal that interrupted the run, 0 while none has.
    static int signal();
};

} // namespace Folvane

#endif
