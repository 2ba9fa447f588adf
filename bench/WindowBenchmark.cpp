// The main window on large pages: a conversion run, a script view, a keystroke;
// and minified pages of one long line, loaded through the open dialog.
// Run by hand: QT_QPA_PLATFORM=offscreen build/bin/window_benchmark
//   [-- size in MB of the mixed page] [-- oneline size in MB...]
#include "CommandButton.h"
#include "ModalAnswers.h"
#include "SamplePage.h"
#include "TextBox.h"
#include "Toolbar.h"
#include "ToolbarButton.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>

using quillomatic::frmMain;
using quillomatic::TextBox;
using quillomatic::Toolbar;
using quillomatic::testing::ModalAnswers;

namespace {

double PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Measure(std::size_t megabytes) {
    QTemporaryDir folder;
    frmMain window;
    window.SetStagingFolder(folder.path());
    window.Form_Load();
    auto* html = window.findChild<TextBox*>(QStringLiteral("txtHTML"));
    auto* toolbar = window.findChild<Toolbar*>(QStringLiteral("xtTab"));
    auto* convert = window.findChild<QWidget*>(QStringLiteral("cmdConvertNow"));

    // A page loaded from a file: shown at once, filled in while the window
    // is idle. The window keeps what it needs of it, as after a load.
    QElapsedTimer timer;
    double shown = 0;
    {
        const QString page = QString::fromStdString(
            quillomatic::bench::MakePage(quillomatic::bench::PageShape::Mixed, megabytes << 20));
        timer.start();
        html->SetText(page);
        shown = Milliseconds(timer);
    }
    while (html->IsFilling()) {
        QApplication::processEvents();
    }
    const double filled = Milliseconds(timer);

    // Convert, up to the moment the success message shows.
    double untilMessage = 0;
    ModalAnswers answers;
    answers.Then([&](QWidget* box) {
        untilMessage = Milliseconds(timer);
        QTest::mouseClick(box->findChild<QWidget*>(QStringLiteral("cmd1")), Qt::LeftButton);
    });
    timer.start();
    QTest::mouseClick(convert, Qt::LeftButton);

    auto* script = window.findChild<TextBox*>(QStringLiteral("txtScriptSource"));
    timer.start();
    QTest::mouseClick(toolbar->Button(4), Qt::LeftButton);
    const double phpView = Milliseconds(timer);
    while (script->IsFilling()) {
        QApplication::processEvents();
    }
    const double phpFilled = Milliseconds(timer);
    // From start, through Convert, to the PHP view shown.
    const double pathPeak = PeakMegabytes();
    timer.start();
    QTest::mouseClick(toolbar->Button(2), Qt::LeftButton);
    const double aspView = Milliseconds(timer);
    QTest::mouseClick(toolbar->Button(1), Qt::LeftButton);

    html->setFocus();
    html->moveCursor(QTextCursor::End);
    timer.start();
    QTest::keyClick(html, Qt::Key_X);
    const double keystroke = Milliseconds(timer);
    timer.start();
    QTest::keyClick(html, Qt::Key_Backspace);
    const double keystrokeBack = Milliseconds(timer);

    std::printf("%zu MB page:\n"
                "  loaded page shown %8.0f ms, filled in %8.0f ms\n"
                "  convert, up to the message %8.0f ms\n"
                "  PHP view shown %8.0f ms, filled in %8.0f ms; ASP view shown %8.0f ms\n"
                "  keystroke %8.1f ms; keystroke back to the converted text %8.1f ms\n"
                "  peak memory up to the PHP view %8.0f MB (%.1f times the page), in all %8.0f MB\n",
                megabytes, shown, filled, untilMessage, phpView, phpFilled, aspView, keystroke,
                keystrokeBack, pathPeak, pathPeak / static_cast<double>(megabytes),
                PeakMegabytes());
    std::fflush(stdout);
}

// A minified page of one line, loaded through the open dialog; timed from the
// Enter that accepts the file until the box holds the whole page and has
// painted it, then what the user does next: Ctrl+End and a key, select all
// and copy, Convert.
void MeasureOneLine(std::size_t megabytes) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("minified.html"));
    {
        QFile file(path);
        const std::string page = quillomatic::bench::MakePage(
            quillomatic::bench::PageShape::OneLongLine, megabytes << 20);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(page.data(), static_cast<qint64>(page.size())) !=
                static_cast<qint64>(page.size())) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return;
        }
    }

    frmMain window;
    window.SetStagingFolder(folder.path());
    window.Form_Load();
    auto* html = window.findChild<TextBox*>(QStringLiteral("txtHTML"));
    QElapsedTimer timer;
    ModalAnswers answers;
    answers.Then([&](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        // Only a name field with the focus replaces the preselected file.
        if (!QTest::qWaitForWindowActive(dialog) ||
            !QTest::qWaitFor([name] { return name->hasFocus(); })) {
            dialog->close();
            return;
        }
        name->setText(path);
        timer.start();
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::mouseClick(window.findChild<QWidget*>(QStringLiteral("cmdLoadFromFile")),
                      Qt::LeftButton);
    window.repaint();
    const double shown = Milliseconds(timer);
    while (html->IsFilling()) {
        QApplication::processEvents();
    }
    window.repaint();
    const double whole = Milliseconds(timer);

    html->setFocus();
    timer.start();
    QTest::keyClick(html, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(html, Qt::Key_X);
    window.repaint();
    const double keystroke = Milliseconds(timer);
    timer.start();
    QTest::keyClick(html, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(html, Qt::Key_C, Qt::ControlModifier);
    window.repaint();
    const double copied = Milliseconds(timer);

    std::printf("%zu MB page of one line:\n"
                "  loaded and painted %8.0f ms, whole and painted %8.0f ms\n"
                "  Ctrl+End and a key %8.0f ms; select all and copy %8.0f ms\n"
                "  peak memory %8.0f MB\n",
                megabytes, shown, whole, keystroke, copied, PeakMegabytes());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const auto separator = arguments.indexOf(QStringLiteral("--"));
    QList<std::size_t> sizes{10, 50};
    QList<std::size_t> oneLineSizes{1, 5};
    if (separator >= 0 && separator + 1 < arguments.size()) {
        const QStringList chosen = arguments.mid(separator + 1);
        sizes.clear();
        oneLineSizes.clear();
        const bool oneLine = chosen.first() == QStringLiteral("oneline");
        for (const QString& size : chosen.mid(oneLine ? 1 : 0)) {
            (oneLine ? oneLineSizes : sizes).append(size.toULong());
        }
    }
    for (const std::size_t megabytes : sizes) {
        Measure(megabytes);
    }
    for (const std::size_t megabytes : oneLineSizes) {
        MeasureOneLine(megabytes);
    }
    return 0;
}
