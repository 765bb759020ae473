// A person's Ctrl-C, or a SIGTERM, asking the run to end.
#include "sim/cli/interrupts.hpp"

#include <signal.h>

namespace velorin::sim {

namespace {

std::atomic<bool> g_interrupted{false};
std::atomic<int> g_signal{0};

extern "C" void onInterrupt(int signal)
{
    g_signal = signal;
    g_interrupted = true;
}

}  // namespace

void catchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::atomic<bool>& interrupted()
{
    return g_interrupted;
}

int interruptSignal()
{
    return g_signal;
}

}  // namespace velorin::sim
