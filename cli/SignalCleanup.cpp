// Ctrl+C, a kill, a closed terminal or a reader gone ends the companion without litter.
#include "SignalCleanup.h"

#include "ScratchFiles.h"

#include <csignal>
#include <cstdlib>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace quillomatic::SignalCleanup {
namespace {

constexpr int kTakenSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// The thread that takes the signals, for the SIGPIPE handler to pass its signal on to.
pthread_t g_Taker;

[[noreturn]] void EndBy(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal); // not reached: the signal's default action ends the process
}

// SIGPIPE goes to the thread whose write found its reader gone, not to the
// process, so blocking it would not bring it to the taker: it is passed on
// from here. The writer then waits here for the end, so that nothing it would
// do next (a message about the failed write, a clean exit) can overtake the
// removal and the end by SIGPIPE.
void PassOnBrokenPipe(int /*signal*/) {
    ::pthread_kill(g_Taker, SIGPIPE);
    for (;;) {
        ::pause();
    }
}

} // namespace

void Install() {
    sigset_t signals;
    sigemptyset(&signals);
    bool anyTaken = false;
    for (const int signal : kTakenSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            sigaddset(&signals, signal);
            anyTaken = true;
        }
    }
    if (!anyTaken) {
        return;
    }
    // The taker starts with all of them blocked; every other thread blocks
    // all but SIGPIPE, which must reach the handler of the thread that wrote.
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread taker([signals] {
        int received = 0;
        while (::sigwait(&signals, &received) != 0) {
        }
        ScratchFiles::RemoveAllAndHold();
        EndBy(received);
    });
    g_Taker = taker.native_handle();
    taker.detach();
    if (sigismember(&signals, SIGPIPE) == 1) {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        struct sigaction passOn {};
        passOn.sa_handler = PassOnBrokenPipe;
        sigfillset(&passOn.sa_mask);
        ::sigaction(SIGPIPE, &passOn, nullptr);
        ::pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
    }
}

} // namespace quillomatic::SignalCleanup
