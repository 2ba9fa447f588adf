// Tests of the title-bar button: a click, and only a click, raises clicked.
#include "TitleBarButton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using quillomatic::TitleBarButton;

namespace {

enum class Gesture { MouseClick, ReleasedOutside, RightClick, Space, Return };

} // namespace

Q_DECLARE_METATYPE(Gesture)

class TitleBarButtonTest : public QObject {
    Q_OBJECT

private slots:
    void raisesClickedOnAClick_data();
    void raisesClickedOnAClick();
};

void TitleBarButtonTest::raisesClickedOnAClick_data() {
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left click") << Gesture::MouseClick << 1;
    QTest::newRow("pressed, then released off the button") << Gesture::ReleasedOutside << 0;
    QTest::newRow("right click") << Gesture::RightClick << 0;
    QTest::newRow("Space while focused") << Gesture::Space << 1;
    QTest::newRow("Return while focused") << Gesture::Return << 1;
}

void TitleBarButtonTest::raisesClickedOnAClick() {
    QFETCH(Gesture, gesture);
    QFETCH(int, clicks);

    QWidget window;
    window.resize(481, 40);
    auto* button = new TitleBarButton(&window);
    button->SetCaption(QStringLiteral("?"));
    button->setGeometry(432, 0, 17, 17);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    button->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), button);
    QSignalSpy clicked(button, &TitleBarButton::clicked);

    switch (gesture) {
    case Gesture::MouseClick:
        QTest::mouseClick(button, Qt::LeftButton);
        break;
    case Gesture::ReleasedOutside:
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseMove(button, QPoint(-30, 10));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-30, 10));
        break;
    case Gesture::RightClick:
        QTest::mouseClick(button, Qt::RightButton);
        break;
    case Gesture::Space:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        break;
    case Gesture::Return:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        break;
    }
    QCOMPARE(clicked.count(), clicks);
}

QTEST_MAIN(TitleBarButtonTest)
#include "TitleBarButtonTest.moc"
