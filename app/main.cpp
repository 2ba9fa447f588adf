// Quillomatic: creating the main window starts the program, closing it ends it.
#include "ApplicationTitle.h"
#include "StagingFolder.h"
#include "StandardStreams.h"
#include "frmMain.h"

#include <QApplication>
#include <csignal>

int main(int argc, char* argv[]) {
    // Before Qt opens anything: a warning for a closed standard error must
    // not land in a file the program has open.
    if (!quillomatic::StandardStreams::Occupy()) {
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillomatic"));
    QApplication::setApplicationDisplayName(quillomatic::AppTitle());
    QApplication::setApplicationVersion(QStringLiteral(QUILLOMATIC_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("quillomatic"));
    // Past a file size limit a save fails and is reported, rather than the
    // signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);

    // The window is made in the folder the program was started from, where
    // its file dialogs first open; the program then works in a folder of its
    // own, where its conversions leave their staging files. Without one it
    // stays where it was started.
    quillomatic::frmMain window;
    quillomatic::StagingFolder().Enter();
    window.Form_Load();
    return QApplication::exec();
}
