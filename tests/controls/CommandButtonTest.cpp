// Tests of the command button: clicks from mouse and keyboard, and what disabling takes away.
#include "CommandButton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using quillomatic::CommandButton;

namespace {

enum class Gesture { MouseClick, Space, Return, KeypadEnter };

// Presses `button` the way `gesture` says; keys go to the focused widget, as
// they do for a user.
void Press(CommandButton* button, Gesture gesture) {
    switch (gesture) {
    case Gesture::MouseClick:
        QTest::mouseClick(button, Qt::LeftButton);
        return;
    case Gesture::Space:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        return;
    case Gesture::Return:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        return;
    case Gesture::KeypadEnter:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        return;
    }
}

} // namespace

Q_DECLARE_METATYPE(Gesture)

class CommandButtonTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void enabledButtonClicksOncePerPress_data();
    void enabledButtonClicksOncePerPress();
    void disabledButtonRaisesNoClick_data();
    void disabledButtonRaisesNoClick();
    void disabledButtonTakesNoFocus();
    void enabledAgainItWorksAsBefore();

private:
    void AddGestureRows();

    std::unique_ptr<QWidget> m_Window;
    CommandButton* m_Before = nullptr;
    CommandButton* m_Button = nullptr;
    CommandButton* m_After = nullptr;
};

void CommandButtonTest::init() {
    m_Window = std::make_unique<QWidget>();
    m_Window->resize(480, 80);
    m_Before = new CommandButton(m_Window.get());
    m_Before->SetCaption(QStringLiteral("Load HTML from a file"));
    m_Before->setGeometry(0, 20, 145, 41);
    m_Button = new CommandButton(m_Window.get());
    m_Button->SetCaption(QStringLiteral("Convert HTML now!"));
    m_Button->setGeometry(160, 20, 145, 41);
    m_After = new CommandButton(m_Window.get());
    m_After->SetCaption(QStringLiteral("Copy All"));
    m_After->setGeometry(320, 20, 145, 41);
    m_Window->show();
    m_Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));
}

void CommandButtonTest::cleanup() {
    m_Window.reset();
}

void CommandButtonTest::AddGestureRows() {
    QTest::addColumn<Gesture>("gesture");
    QTest::newRow("mouse click") << Gesture::MouseClick;
    QTest::newRow("Space") << Gesture::Space;
    QTest::newRow("Return") << Gesture::Return;
    QTest::newRow("keypad Enter") << Gesture::KeypadEnter;
}

void CommandButtonTest::enabledButtonClicksOncePerPress_data() {
    AddGestureRows();
}

void CommandButtonTest::enabledButtonClicksOncePerPress() {
    QFETCH(Gesture, gesture);
    QSignalSpy clicks(m_Button, &CommandButton::clicked);
    m_Button->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), m_Button);

    Press(m_Button, gesture);
    QCOMPARE(clicks.count(), 1);
    Press(m_Button, gesture);
    QCOMPARE(clicks.count(), 2);
}

void CommandButtonTest::disabledButtonRaisesNoClick_data() {
    AddGestureRows();
}

void CommandButtonTest::disabledButtonRaisesNoClick() {
    QFETCH(Gesture, gesture);
    // The user had it focused when the program disabled it.
    m_Button->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), m_Button);
    m_Button->SetDisabled(true);
    QSignalSpy clicks(m_Button, &CommandButton::clicked);

    if (gesture == Gesture::MouseClick) {
        QTest::mouseClick(m_Button, Qt::LeftButton);
    } else {
        // Straight at the button, whichever widget holds the focus now.
        const Qt::Key key = gesture == Gesture::Space    ? Qt::Key_Space
                            : gesture == Gesture::Return ? Qt::Key_Return
                                                         : Qt::Key_Enter;
        QTest::keyClick(m_Button, key);
        if (QApplication::focusWidget()) {
            QTest::keyClick(QApplication::focusWidget(), key);
        }
    }
    QCOMPARE(clicks.count(), 0);
    QVERIFY(m_Button->Disabled());
}

void CommandButtonTest::disabledButtonTakesNoFocus() {
    m_Button->SetDisabled(true);

    m_Button->setFocus(Qt::OtherFocusReason);
    QVERIFY(QApplication::focusWidget() != m_Button);

    // Tab passes over it.
    m_Before->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), m_Before);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_After);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), m_Before);
}

void CommandButtonTest::enabledAgainItWorksAsBefore() {
    QSignalSpy clicks(m_Button, &CommandButton::clicked);
    m_Button->SetDisabled(true);
    m_Button->SetDisabled(false);
    QVERIFY(!m_Button->Disabled());

    QTest::mouseClick(m_Button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    m_Before->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), m_Before);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_Button);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(clicks.count(), 2);
}

QTEST_MAIN(CommandButtonTest)
#include "CommandButtonTest.moc"
