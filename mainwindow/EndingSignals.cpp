// SIGTERM, SIGHUP and SIGINT end the window through its event loop.
#include "EndingSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillomatic {
namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The handler's end of the pipe and the event loop's.
int g_Pipe[2] = {-1, -1};

void PassOn(int signal) {
    const int saved = errno;
    const auto number = static_cast<unsigned char>(signal);
    if (::write(g_Pipe[0], &number, 1) != 1) {
        // full already: a signal is on its way to the loop
    }
    errno = saved;
}

} // namespace

EndingSignals::EndingSignals(void (*beforeEnd)(), QObject* parent)
    : QObject(parent), m_BeforeEnd(beforeEnd) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_Pipe) != 0) {
        return; // the signals keep their default: the program ends at once
    }
    m_Notifier = new QSocketNotifier(g_Pipe[1], QSocketNotifier::Read, this);
    connect(m_Notifier, &QSocketNotifier::activated, this, &EndingSignals::End);
    for (const int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction passOn {};
        passOn.sa_handler = PassOn;
        sigemptyset(&passOn.sa_mask);
        passOn.sa_flags = SA_RESTART;
        ::sigaction(signal, &passOn, nullptr);
    }
}

EndingSignals::~EndingSignals() {
    for (const int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == PassOn) {
            std::signal(signal, SIG_DFL);
        }
    }
    for (int& end : g_Pipe) {
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
    }
}

void EndingSignals::End() {
    unsigned char number = 0;
    if (::read(g_Pipe[1], &number, 1) != 1) {
        return;
    }
    m_BeforeEnd();
    const int signal = number;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal); // not reached: the signal's default action ends the process
}

} // namespace quillomatic
