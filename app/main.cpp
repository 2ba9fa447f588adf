// Quillomatic: creating the main window starts the program, closing it ends it.
#include "ApplicationTitle.h"
#include "EndingSignals.h"
#include "StagingFiles.h"
#include "StagingFolder.h"
#include "StandardStreams.h"
#include "frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace {

constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: quillomatic [PAGE]\n"
    "Opens the Quillomatic window, which rewrites HTML as ASP, PHP, JavaScript,\n"
    "JSP and Perl code that prints it again, with the HTML file PAGE loaded.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n"
    "\n"
    "quillomatic-convert does the same from the command line.\n";

// --help and --version, answered before the window system starts, so that
// they work where there is no display. The exit status, or nothing when the
// window is wanted.
std::optional<int> AnswerWithoutWindow(int argc, char* argv[]) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("quillomatic " QUILLOMATIC_VERSION);
            return 0;
        }
    }
    return std::nullopt;
}

// The page named after the options Qt took for itself, as an absolute path;
// an empty text for none. Raises a usage error for anything else.
QString PageNamed(QStringList arguments) {
    arguments.removeFirst();
    const bool optionsEnded = !arguments.isEmpty() && arguments.front() == QStringLiteral("--");
    if (optionsEnded) {
        arguments.removeFirst();
    }
    if (!optionsEnded && !arguments.isEmpty() && arguments.front().startsWith(QLatin1Char('-'))) {
        throw std::invalid_argument("unknown option " + arguments.front().toStdString());
    }
    if (arguments.size() > 1) {
        throw std::invalid_argument("one page at a time");
    }
    return arguments.isEmpty() ? QString() : QFileInfo(arguments.front()).absoluteFilePath();
}

// Qt, finding no display, aborts with advice to reinstall it; the user is
// better told what is missing. Only where Qt would look for a display: a
// platform named through QT_QPA_PLATFORM, -platform or --platform is Qt's to
// judge (Qt takes no "=" form of the option).
bool NoDisplayToOpen(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return false;
        }
    }
    const auto unset = [](const char* name) {
        const char* value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    return unset("QT_QPA_PLATFORM") && unset("DISPLAY") && unset("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[]) {
    // Before Qt opens anything: a warning for a closed standard error must
    // not land in a file the program has open.
    if (!quillomatic::StandardStreams::Occupy()) {
        return 1;
    }
    if (const std::optional<int> answered = AnswerWithoutWindow(argc, argv)) {
        return *answered;
    }
    if (NoDisplayToOpen(argc, argv)) {
        std::fputs("quillomatic: no display to open the window on (DISPLAY and WAYLAND_DISPLAY "
                   "are not set).\n",
                   stderr);
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
    // A kill or a closed terminal ends the program without its staging files.
    const quillomatic::EndingSignals endingSignals(&quillomatic::StagingFiles::RemoveAllRecorded);
    QString page;
    try {
        page = PageNamed(QApplication::arguments());
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "quillomatic: %s\n%s", error.what(), kUsage);
        return kExitUsage;
    }

    // The file dialogs first open in the folder the program was started from;
    // the conversions stage in a folder of the program's own, or, without
    // one, there too.
    quillomatic::frmMain window;
    quillomatic::StagingFolder staging;
    window.SetStagingFolder(staging.Prepare() ? staging.Path() : QString());
    window.Form_Load();
    if (!page.isEmpty()) {
        window.OpenPage(page);
    }
    return QApplication::exec();
}
