// The whole program by keyboard, and what a screen reader is told about it.
#include "ModalAnswers.h"
#include "TextBox.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using quillomatic::frmMain;
using quillomatic::TextBox;
using quillomatic::testing::ModalAnswers;

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void everyControlHasANameForScreenReaders();
    void tabReachesEveryButtonInLayoutOrder();
    void keyboardAloneConvertsAndShowsAScript();
    void keyboardAloneOpensAndClosesTheAboutBox();
    void ctrlOCtrlSAndF1DoWhatTheirButtonsDo();

private:
    // Moves the focus with Tab until `name` has it; false if it never does.
    bool TabTo(const QString& name);

    std::unique_ptr<QTemporaryDir> m_Folder;
    std::unique_ptr<frmMain> m_Window;
};

void KeyboardTest::init() {
    m_Folder = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(m_Folder->path());
    m_Window = std::make_unique<frmMain>();
    m_Window->Form_Load();
    m_Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));
}

bool KeyboardTest::TabTo(const QString& name) {
    for (int presses = 0; presses < 40; ++presses) {
        const QWidget* focused = QApplication::focusWidget();
        if (focused && focused->objectName() == name) {
            return true;
        }
        QTest::keyClick(m_Window->windowHandle(), Qt::Key_Tab);
    }
    return false;
}

namespace {

// The controls of `window` a screen reader would announce without a name.
QStringList UnnamedControls(QWidget* window) {
    QStringList unnamed;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const auto* label = qobject_cast<QLabel*>(control);
        const bool takesFocus = control->focusPolicy() & Qt::TabFocus;
        // Scroll bars and viewports inside the text boxes speak for their box.
        const bool internal = control->objectName().isEmpty() ||
                              control->objectName().startsWith(QLatin1String("qt_"));
        if ((!takesFocus && !label) || internal || !control->isVisible()) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty()) {
            unnamed.append(control->objectName());
        }
    }
    return unnamed;
}

} // namespace

void KeyboardTest::everyControlHasANameForScreenReaders() {
    auto* html = m_Window->findChild<TextBox*>(QStringLiteral("txtHTML"));
    html->SetText(QStringLiteral("<p>"));
    QCOMPARE(UnnamedControls(m_Window.get()), QStringList());
    m_Window->findChild<QAbstractButton*>(QStringLiteral("xtTabButton2"))->click();
    QCOMPARE(UnnamedControls(m_Window.get()), QStringList());

    // The message box and the about box, as they show.
    QStringList unnamedInBoxes;
    ModalAnswers answers;
    const auto check = [&](QWidget* box) {
        unnamedInBoxes += UnnamedControls(box);
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
    };
    answers.Then(check);
    m_Window->findChild<QAbstractButton*>(QStringLiteral("cmdReset"))->click();
    m_Window->findChild<QAbstractButton*>(QStringLiteral("xtTabButton2"))->click();
    answers.Then(check);
    m_Window->findChild<QAbstractButton*>(QStringLiteral("cmdAbout"))->click();
    QVERIFY(answers.AllAnswered());
    QCOMPARE(unnamedInBoxes, QStringList());

    // Symbols and codes are spoken as words.
    QCOMPARE(m_Window->findChild<QWidget*>(QStringLiteral("cmdClose"))->accessibleName(),
             QStringLiteral("Close"));
    QCOMPARE(m_Window->findChild<QWidget*>(QStringLiteral("xtTabButton3"))->accessibleName(),
             QStringLiteral("JavaScript"));
}

void KeyboardTest::tabReachesEveryButtonInLayoutOrder() {
    // Convert can be pressed only with something to convert.
    auto* html = m_Window->findChild<TextBox*>(QStringLiteral("txtHTML"));
    html->SetText(QStringLiteral("<p>"));
    m_Window->findChild<QWidget*>(QStringLiteral("cmdMinimize"))->setFocus();
    const QStringList order = {QStringLiteral("cmdMinimize"),   QStringLiteral("cmdClose"),
                               QStringLiteral("txtHTML"),       QStringLiteral("cmdLoadFromFile"),
                               QStringLiteral("cmdConvertNow"), QStringLiteral("cmdAbout"),
                               QStringLiteral("xtTabButton1"),  QStringLiteral("xtTabButton2"),
                               QStringLiteral("xtTabButton3"),  QStringLiteral("xtTabButton4"),
                               QStringLiteral("xtTabButton5"),  QStringLiteral("xtTabButton6"),
                               QStringLiteral("cmdMinimize")};
    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(m_Window->windowHandle(), Qt::Key_Tab);
    }
    QCOMPARE(visited, order);
}

void KeyboardTest::keyboardAloneConvertsAndShowsAScript() {
    ModalAnswers answers;
    QVERIFY(TabTo(QStringLiteral("txtHTML")));
    for (const char key : std::string("<b>$x</b>")) {
        QTest::keyClick(m_Window->windowHandle(), key);
    }
    QVERIFY(TabTo(QStringLiteral("cmdConvertNow")));
    answers.Then([](QWidget* box) { QTest::keyClick(box->windowHandle(), Qt::Key_Return); });
    QTest::keyClick(m_Window->windowHandle(), Qt::Key_Space);
    QVERIFY(answers.AllAnswered());
    m_Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));

    QVERIFY(TabTo(QStringLiteral("xtTabButton4")));
    QTest::keyClick(m_Window->windowHandle(), Qt::Key_Return);
    auto* script = m_Window->findChild<TextBox*>(QStringLiteral("txtScriptSource"));
    QVERIFY(script->isVisible());
    QVERIFY(script->Text().contains(QStringLiteral("echo \"<b>\\$x</b>\\n\";")));
    // On the script page, Tab reaches its three buttons.
    QVERIFY(TabTo(QStringLiteral("cmdCopy")));
    QVERIFY(TabTo(QStringLiteral("cmdSave")));
    QVERIFY(TabTo(QStringLiteral("cmdReset")));
    QTest::keyClick(m_Window->windowHandle(), Qt::Key_Space);
    QVERIFY(m_Window->findChild<TextBox*>(QStringLiteral("txtHTML"))->isVisible());
}

void KeyboardTest::keyboardAloneOpensAndClosesTheAboutBox() {
    QString opened;
    ModalAnswers answers;
    answers.Then([&](QWidget* about) {
        opened = about->objectName();
        QTest::keyClick(about->windowHandle(), Qt::Key_Return);
    });
    QVERIFY(TabTo(QStringLiteral("cmdAbout")));
    QTest::keyClick(m_Window->windowHandle(), Qt::Key_Return);
    QVERIFY(answers.AllAnswered());
    QCOMPARE(opened, QStringLiteral("frmAbout"));
    QVERIFY(!QApplication::activeModalWidget());
}

void KeyboardTest::ctrlOCtrlSAndF1DoWhatTheirButtonsDo() {
    const QString page = m_Folder->filePath(QStringLiteral("page.html"));
    const QString saved = m_Folder->filePath(QStringLiteral("page.php"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<p>loaded</p>");
    file.close();
    auto* html = m_Window->findChild<TextBox*>(QStringLiteral("txtHTML"));
    auto* window = m_Window->windowHandle();
    html->SetText(QStringLiteral("<p>typed</p>"));
    m_Window->findChild<QAbstractButton*>(QStringLiteral("xtTabButton4"))->click();

    // Ctrl+S saves the script shown; on the HTML page it does nothing.
    ModalAnswers answers;
    answers.ThenPick(saved).ThenPress(1);
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(answers.AllAnswered());
    QFile script(saved);
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(script.readAll().contains("echo \"<p>typed</p>\\n\";"));
    m_Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));

    // Ctrl+O loads from a script view too, and shows the page loaded.
    answers.ThenPick(page).ThenPress(1);
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    QVERIFY(answers.AllAnswered());
    QCOMPARE(html->Text(), QStringLiteral("<p>loaded</p>"));
    QVERIFY(html->isVisible());
    m_Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    QTest::qWait(100);
    QVERIFY(!QApplication::activeModalWidget());

    QString opened;
    answers.Then([&](QWidget* about) {
        opened = about->objectName();
        QTest::keyClick(about->windowHandle(), Qt::Key_Return);
    });
    QTest::keyClick(window, Qt::Key_F1);
    QVERIFY(answers.AllAnswered());
    QCOMPARE(opened, QStringLiteral("frmAbout"));
}

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
