// SIGTERM, SIGHUP and SIGINT end the window through its event loop.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quillomatic {

// A kill, a closed terminal or Ctrl+C where the window was started from ends
// the program, as it ends any program, but only after `beforeEnd` has run:
// the handler does no more than pass the signal's number down a pipe; the
// event loop (the main one, or the one a dialog is running) hears it, calls
// `beforeEnd` as ordinary code, and ends the process by the same signal. A
// signal the program was started to ignore (nohup) stays ignored. One a
// process, made once the application exists.
class EndingSignals : public QObject {
    Q_OBJECT

public:
    explicit EndingSignals(void (*beforeEnd)(), QObject* parent = nullptr);
    ~EndingSignals() override;
    EndingSignals(const EndingSignals&) = delete;
    EndingSignals& operator=(const EndingSignals&) = delete;

private:
    void End();

    void (*m_BeforeEnd)();
    QSocketNotifier* m_Notifier = nullptr;
};

} // namespace quillomatic
