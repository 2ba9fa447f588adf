// The main window when memory runs out: each step that runs out says so, the
// HTML box keeps what it held, and the program goes on answering. Memory is
// bounded with RLIMIT_AS a little above what the process uses at each step.
#include "ModalAnswers.h"
#include "TextBox.h"
#include "Toolbar.h"
#include "ToolbarButton.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <malloc.h>
#include <memory>
#include <sys/resource.h>

using quillomatic::frmMain;
using quillomatic::TextBox;
using quillomatic::Toolbar;
using quillomatic::testing::ModalAnswers;

namespace {

constexpr rlim_t kMegabyte = 1024 * 1024;

// The process's address space now, from /proc/self/status.
rlim_t AddressSpaceInUse() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmSize:")) {
            return line.mid(7).trimmed().split(' ').first().toULongLong() * 1024;
        }
    }
    return 0;
}

// Lets the process grow by `headroom` bytes from now on, until destroyed.
class MemoryLimit {
public:
    explicit MemoryLimit(rlim_t headroom) {
        ::getrlimit(RLIMIT_AS, &m_Previous);
        rlimit limit = m_Previous;
        limit.rlim_cur = AddressSpaceInUse() + headroom;
        ::setrlimit(RLIMIT_AS, &limit);
    }
    ~MemoryLimit() { ::setrlimit(RLIMIT_AS, &m_Previous); }
    MemoryLimit(const MemoryLimit&) = delete;
    MemoryLimit& operator=(const MemoryLimit&) = delete;

private:
    rlimit m_Previous{};
};

QString Expected(const char* toDoWhat) {
    return QStringLiteral("There is not enough memory to %1.\n\nClose other programs and try "
                          "again: your HTML is kept as it was.")
        .arg(QLatin1String(toDoWhat));
}

} // namespace

class LowMemoryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void EveryStepThatRunsOutSaysSoAndKeepsTheHTML();
};

void LowMemoryTest::initTestCase() {
    // Large blocks each mapped on their own and given back when freed, so
    // the address space in use is what the process holds.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
}

void LowMemoryTest::EveryStepThatRunsOutSaysSoAndKeepsTheHTML() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QString page = folder.filePath(QStringLiteral("page.html"));
    {
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray line = QByteArray("<tr><td class=\"n\">$5</td></tr>").repeated(4) + "\r\n";
        for (qsizetype size = 0; size < 48 * qsizetype(kMegabyte); size += line.size()) {
            file.write(line);
        }
    }
    const QString kept = QStringLiteral("<p>kept</p>");

    auto window = std::make_unique<frmMain>();
    window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* html = window->findChild<TextBox*>(QStringLiteral("txtHTML"));
    auto* script = window->findChild<TextBox*>(QStringLiteral("txtScriptSource"));
    auto* toolbar = window->findChild<Toolbar*>(QStringLiteral("xtTab"));
    const auto click = [&](const char* name) {
        QTest::mouseClick(window->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
    };
    QTest::keyClicks(html, kept);

    // Load: the page read, then made text for the box.
    {
        ModalAnswers answers;
        answers.ThenPick(page).ThenPress(1).ThenPress(1);
        const MemoryLimit limit(64 * kMegabyte);
        click("cmdLoadFromFile");
        QVERIFY(answers.AllAnswered());
        QCOMPARE(answers.MessageTexts().last(), Expected("load this page"));
        QCOMPARE(html->Text(), kept);
    }
    // The page loaded, but memory runs out while it fills in behind.
    {
        ModalAnswers answers;
        answers.ThenPick(page).ThenPress(1);
        click("cmdLoadFromFile");
        QVERIFY(answers.AllAnswered());
        QVERIFY(html->IsFilling());
        answers.ThenPress(1);
        const MemoryLimit limit(8 * kMegabyte);
        QTRY_VERIFY_WITH_TIMEOUT(answers.AllAnswered(), 30000);
        QCOMPARE(answers.MessageTexts().last(), Expected("load this page"));
        QVERIFY(!html->IsFilling());
        QCOMPARE(html->Text(), kept);
    }
    // Loaded whole this time; then Convert runs out.
    ModalAnswers answers;
    answers.ThenPick(page).ThenPress(1);
    click("cmdLoadFromFile");
    QVERIFY(html->FinishFilling());
    const QString loaded = html->Text();
    {
        answers.ThenPress(1);
        const MemoryLimit limit(8 * kMegabyte);
        click("cmdConvertNow");
        QCOMPARE(answers.MessageTexts().last(), Expected("convert this HTML"));
    }
    QCOMPARE(html->Text(), loaded);
    // Converted; then the view runs out, and the HTML page stays.
    answers.ThenPress(1);
    click("cmdConvertNow");
    {
        answers.ThenPress(1);
        const MemoryLimit limit(8 * kMegabyte);
        QTest::mouseClick(toolbar->Button(4), Qt::LeftButton);
        QCOMPARE(answers.MessageTexts().last(), Expected("show this script"));
        QVERIFY(window->findChild<QWidget*>(QStringLiteral("fra0"))->isVisible());
    }
    // Shown, and edited; Copy All and Save run out.
    QTest::mouseClick(toolbar->Button(4), Qt::LeftButton);
    QVERIFY(script->FinishFilling());
    QTest::keyClick(script, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(script, QStringLiteral("// mine"));
    {
        answers.ThenPress(1);
        const MemoryLimit limit(8 * kMegabyte);
        click("cmdCopy");
        QCOMPARE(answers.MessageTexts().last(), Expected("copy this script"));
    }
    {
        answers.ThenPick(folder.filePath(QStringLiteral("page.php"))).ThenPress(1);
        const MemoryLimit limit(8 * kMegabyte);
        click("cmdSave");
        QCOMPARE(answers.MessageTexts().last(), Expected("save this script"));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("page.php"))));
    }
    // And the program goes on answering: the save that failed works now.
    answers.ThenPick(folder.filePath(QStringLiteral("page.php"))).ThenPress(1);
    click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QVERIFY(QFile(folder.filePath(QStringLiteral("page.php"))).size() > 48 * qint64(kMegabyte));
    QCOMPARE(html->Text(), loaded);

    window.reset();
    QDir::setCurrent(previousFolder);
}

QTEST_MAIN(LowMemoryTest)
#include "LowMemoryTest.moc"
