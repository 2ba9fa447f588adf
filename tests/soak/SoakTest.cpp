// Many conversions in one process: memory stays flat, every conversion from
// text leaves exactly one staging file, and a window keeps its last run's alone.
#include "Converter.h"
#include "TextBox.h"
#include "Toolbar.h"
#include "ToolbarButton.h"
#include "frmMain.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <string>

using quillomatic::Converter;
using quillomatic::frmMain;
using quillomatic::TextBox;
using quillomatic::Toolbar;

namespace {

// Resident memory of the process that is its own (RssAnon), in kilobytes:
// pages of its libraries come and go with what other programs read meanwhile.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "RssAnon:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    }
    return 0;
}

// AddressSanitizer holds freed memory back on purpose, so resident memory
// grows there without a leak; LeakSanitizer finds leaks in that build instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFreedMemoryIsHeldBack = true;
#else
constexpr bool kFreedMemoryIsHeldBack = false;
#endif

int StagingFiles(const QString& folder) {
    return static_cast<int>(
        QDir(folder).entryList({QStringLiteral("qm*.tmp")}, QDir::Files).size());
}

const QString kPage = QStringLiteral(
    "<table class=\"prices\">\n  <tr><td>$5</td><td>C:\\shop</td><td>me@example.com</td></tr>\n"
    "</table>\n<script>if (a < b) { x = \"</script>\"; }</script>\n");

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_Folder = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_Folder->path());
    }

    void tenThousandConversionsOnOneConverter() {
        Converter converter;
        using Operation = const std::string& (Converter::*)(const std::string&);
        const Operation operations[] = {&Converter::ConvertToASP, &Converter::ConvertToPHP,
                                        &Converter::ConvertToJavaScript, &Converter::ConvertToJSP,
                                        &Converter::ConvertToPerl};
        const std::string page = kPage.toStdString();
        const auto convert = [&](int i) {
            converter.SetSourceHTMLText(page + std::to_string(i));
            (converter.*operations[i % 5])({});
        };
        for (int i = 0; i < 500; ++i) {
            convert(i);
        }
        const long warm = ResidentKilobytes();
        for (int i = 500; i < 10000; ++i) {
            convert(i);
        }
        const long end = ResidentKilobytes();
        qInfo("engine: resident memory %ld KB after 500 conversions, %ld KB after 10000", warm,
              end);
        QVERIFY2(kFreedMemoryIsHeldBack || end - warm < 1024,
                 "memory grows with the number of conversions");
        QCOMPARE(StagingFiles(m_Folder->path()), 10000);
    }

    void thousandConversionRunsInOneWindow() {
        frmMain window;
        window.Form_Load();
        auto* html = window.findChild<TextBox*>(QStringLiteral("txtHTML"));
        auto* toolbar = window.findChild<Toolbar*>(QStringLiteral("xtTab"));
        // A changed page and a script view: one conversion run each time.
        const auto run = [&](int i) {
            QTest::mouseClick(toolbar->Button(1), Qt::LeftButton);
            html->SetText(kPage + QString::number(i));
            QTest::mouseClick(toolbar->Button(static_cast<qint16>(2 + i % 5)), Qt::LeftButton);
        };
        for (int i = 0; i < 100; ++i) {
            run(i);
        }
        const long warm = ResidentKilobytes();
        for (int i = 100; i < 1000; ++i) {
            run(i);
        }
        const long end = ResidentKilobytes();
        qInfo("window: resident memory %ld KB after 100 runs, %ld KB after 1000", warm, end);
        QVERIFY2(kFreedMemoryIsHeldBack || end - warm < 2048,
                 "memory grows with the number of runs");
        QCOMPARE(StagingFiles(m_Folder->path()), 10);
        QVERIFY(window.findChild<TextBox*>(QStringLiteral("txtScriptSource"))
                    ->Text()
                    .contains(QStringLiteral("999")));
    }

    void cleanup() {
        QDir::setCurrent(QDir::tempPath());
        m_Folder.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_Folder;
};

QTEST_MAIN(SoakTest)
#include "SoakTest.moc"
