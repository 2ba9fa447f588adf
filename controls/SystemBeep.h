// The desktop's default beep, observable so that tests can count it.
#pragma once

#include <QObject>

namespace quillomatic {

class SystemBeep : public QObject {
    Q_OBJECT

public:
    [[nodiscard]] static SystemBeep& Instance();
    // Sounds the beep and reports it.
    static void Beep();

signals:
    void Beeped();
};

} // namespace quillomatic
