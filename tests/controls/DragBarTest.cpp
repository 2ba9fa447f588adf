// Tests of the drag bar: dragging it moves its window, dragging anything else does not.
//
// The offscreen platform offers no interactive move of its own, so these drags
// exercise the bar's path that follows the pointer.
#include "DragBar.h"

#include <QLabel>
#include <QTest>
#include <memory>

using quillomatic::DragBar;

namespace {

const QPoint kWindowStart(200, 150);

} // namespace

class DragBarTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void draggingTheBarMovesTheWindow_data();
    void draggingTheBarMovesTheWindow();
    void draggingElsewhereLeavesTheWindow_data();
    void draggingElsewhereLeavesTheWindow();

private:
    std::unique_ptr<QWidget> m_Window;
    DragBar* m_Bar = nullptr;
    QLabel* m_Body = nullptr;
};

void DragBarTest::init() {
    m_Window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_Window->setFixedSize(289, 138);
    m_Bar = new DragBar(m_Window.get());
    m_Bar->setGeometry(0, 0, 289, 17);
    m_Bar->SetCaption(QStringLiteral("Quillomatic"));
    m_Body = new QLabel(QStringLiteral("Label1"), m_Window.get());
    m_Body->setGeometry(72, 28, 193, 65);
    m_Window->move(kWindowStart);
    m_Window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));
    QTRY_COMPARE(m_Window->pos(), kWindowStart);
}

void DragBarTest::cleanup() {
    m_Window.reset();
}

void DragBarTest::draggingTheBarMovesTheWindow_data() {
    QTest::addColumn<int>("barTop");
    QTest::addColumn<QPoint>("grab");
    // Where the pointer goes, step by step, relative to where it grabbed.
    QTest::addColumn<QList<QPoint>>("steps");
    QTest::newRow("one step right and down") << 0 << QPoint(10, 8) << QList<QPoint>{{50, 40}};
    QTest::newRow("several steps, ending up and left")
        << 0 << QPoint(150, 5) << QList<QPoint>{{10, 0}, {-40, -20}, {-60, -30}};
    QTest::newRow("grabbed on the caption, there and back")
        << 0 << QPoint(20, 9) << QList<QPoint>{{100, 100}, {0, 0}};
    QTest::newRow("bar lower down in its window")
        << 30 << QPoint(40, 8) << QList<QPoint>{{25, -15}, {70, 35}};
}

void DragBarTest::draggingTheBarMovesTheWindow() {
    QFETCH(int, barTop);
    QFETCH(QPoint, grab);
    QFETCH(QList<QPoint>, steps);
    m_Bar->move(0, barTop);
    const QPoint grabbedAt = m_Bar->mapToGlobal(grab);

    QTest::mousePress(m_Bar, Qt::LeftButton, {}, grab);
    for (const QPoint& step : steps) {
        QTest::mouseMove(m_Bar, m_Bar->mapFromGlobal(grabbedAt + step));
        // The window follows at every step, not only at the end.
        QTRY_COMPARE(m_Window->pos(), kWindowStart + step);
    }
    QTest::mouseRelease(m_Bar, Qt::LeftButton, {}, m_Bar->mapFromGlobal(grabbedAt + steps.last()));
    const QPoint dropped = kWindowStart + steps.last();
    QCOMPARE(m_Window->pos(), dropped);

    // Once released, the pointer moves on alone.
    QTest::mouseMove(m_Bar, QPoint(200, 8));
    QTest::qWait(20);
    QCOMPARE(m_Window->pos(), dropped);
}

void DragBarTest::draggingElsewhereLeavesTheWindow_data() {
    QTest::addColumn<bool>("onTheBody");
    QTest::newRow("on a label below the bar") << true;
    QTest::newRow("on the window's own background") << false;
}

void DragBarTest::draggingElsewhereLeavesTheWindow() {
    QFETCH(bool, onTheBody);
    QWidget* grabbed = onTheBody ? static_cast<QWidget*>(m_Body) : m_Window.get();
    const QPoint grab = onTheBody ? QPoint(20, 20) : QPoint(10, 120);

    QTest::mousePress(grabbed, Qt::LeftButton, {}, grab);
    QTest::mouseMove(grabbed, grab + QPoint(50, 40));
    QTest::mouseRelease(grabbed, Qt::LeftButton, {}, grab + QPoint(50, 40));
    QTest::qWait(20);

    QCOMPARE(m_Window->pos(), kWindowStart);
}

QTEST_MAIN(DragBarTest)
#include "DragBarTest.moc"
