// Quillomatic: creating the main window starts the program, closing it ends it.
#include "ApplicationTitle.h"
#include "frmMain.h"

#include <QApplication>
#include <csignal>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillomatic"));
    QApplication::setApplicationDisplayName(quillomatic::AppTitle());
    QApplication::setApplicationVersion(QStringLiteral(QUILLOMATIC_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillomatic"));
    // Past a file size limit a save fails and is reported, rather than the
    // signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    quillomatic::frmMain window;
    window.Form_Load();
    return QApplication::exec();
}
