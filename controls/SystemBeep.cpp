// The desktop's default beep, observable so that tests can count it.
#include "SystemBeep.h"

#include <QApplication>

namespace quillomatic {

SystemBeep& SystemBeep::Instance() {
    static SystemBeep instance;
    return instance;
}

void SystemBeep::Beep() {
    QApplication::beep();
    emit Instance().Beeped();
}

} // namespace quillomatic
