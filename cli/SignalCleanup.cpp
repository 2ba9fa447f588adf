// Ctrl+C, a kill or a closed terminal ends the companion without litter.
#include "SignalCleanup.h"

#include "ScratchFiles.h"

#include <csignal>
#include <cstdlib>
#include <pthread.h>
#include <thread>

namespace quillomatic::SignalCleanup {
namespace {

[[noreturn]] void EndBy(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal); // not reached: the signal's default action ends the process
}

} // namespace

void Install() {
    sigset_t signals;
    sigemptyset(&signals);
    bool anyTaken = false;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            sigaddset(&signals, signal);
            anyTaken = true;
        }
    }
    if (!anyTaken) {
        return;
    }
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int received = 0;
        while (::sigwait(&signals, &received) != 0) {
        }
        ScratchFiles::RemoveAllAndHold();
        EndBy(received);
    }).detach();
}

} // namespace quillomatic::SignalCleanup
