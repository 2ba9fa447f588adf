// Tests of the format toolbar: what its buttons report, which shows selected, how they stand.
#include "Toolbar.h"

#include "Fonts.h"
#include "ToolbarButton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <memory>
#include <optional>

namespace Fonts = quillomatic::Fonts;
using quillomatic::Toolbar;
using quillomatic::ToolbarButton;

namespace {

struct ButtonSetting {
    const char* caption;
    const char* key;
    const char* picture;
    std::optional<QColor> mask;
};

// Three buttons of the main window's toolbar: a caption with a leading blank,
// a key that differs from its caption, and both kinds of mask.
const ButtonSetting kButtons[] = {
    {" HTML", "HTML", ":/pictures/ToolbarHTML.svg", std::nullopt},
    {"ASP", "ASP", ":/pictures/ToolbarASP.svg", QColor(Qt::white)},
    {"JS", "javalogo52x88", ":/pictures/ToolbarJavaScript.svg", QColor(Qt::white)},
};
constexpr qint16 kGap = 4;

QList<bool> SelectedStates(const Toolbar& toolbar) {
    QList<bool> states;
    for (qint16 position = 1; position <= toolbar.ButtonCount(); ++position) {
        states.append(toolbar.Button(position)->Selected());
    }
    return states;
}

} // namespace

class ToolbarTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reportsPositionAndKeyOnAMouseClick_data();
    void reportsPositionAndKeyOnAMouseClick();
    void reportsPositionAndKeyFromTheKeyboard_data();
    void reportsPositionAndKeyFromTheKeyboard();
    void onlyTheButtonItsOwnerSelectsShowsSelected();
    void buttonsShowCaptionAndPictureSideBySide_data();
    void buttonsShowCaptionAndPictureSideBySide();
    void maskColourOfAPictureIsDrawnTransparent_data();
    void maskColourOfAPictureIsDrawnTransparent();
    void pointerRestingOnAButtonShowsItsTooltip_data();
    void pointerRestingOnAButtonShowsItsTooltip();

private:
    std::unique_ptr<QWidget> m_Window;
    Toolbar* m_Toolbar = nullptr;
};

void ToolbarTest::init() {
    m_Window = std::make_unique<QWidget>();
    m_Window->resize(480, 120);
    m_Toolbar = new Toolbar(m_Window.get());
    m_Toolbar->setObjectName(QStringLiteral("xtTab"));
    m_Toolbar->setGeometry(0, 16, 473, 49);
    m_Toolbar->setFont(Fonts::Verdana(8.25));
    m_Toolbar->SetToolTipFont(Fonts::Verdana(8.25));
    m_Toolbar->SetButtonGap(kGap);
    for (const ButtonSetting& button : kButtons) {
        const QString key = QString::fromLatin1(button.key);
        m_Toolbar->AddButton(QString::fromLatin1(button.caption), key, key,
                             QString::fromLatin1(button.picture), button.mask);
    }
    m_Window->show();
    m_Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));
}

void ToolbarTest::cleanup() {
    QToolTip::hideText();
    m_Window.reset();
}

void ToolbarTest::reportsPositionAndKeyOnAMouseClick_data() {
    QTest::addColumn<qint16>("position");
    QTest::addColumn<QString>("key");
    QTest::newRow("first") << qint16{1} << QStringLiteral("HTML");
    QTest::newRow("second") << qint16{2} << QStringLiteral("ASP");
    QTest::newRow("third, key unlike its caption") << qint16{3} << QStringLiteral("javalogo52x88");
}

void ToolbarTest::reportsPositionAndKeyOnAMouseClick() {
    QFETCH(qint16, position);
    QFETCH(QString, key);
    QSignalSpy clicks(m_Toolbar, &Toolbar::ButtonClick);

    QTest::mouseClick(m_Toolbar->Button(position), Qt::LeftButton);

    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<qint16>(), position);
    QCOMPARE(clicks.at(0).at(1).toString(), key);
}

void ToolbarTest::reportsPositionAndKeyFromTheKeyboard_data() {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<Qt::Key>("press");
    QTest::addColumn<qint16>("position");
    QTest::addColumn<QString>("key");
    QTest::newRow("first, Space") << 0 << Qt::Key_Space << qint16{1} << QStringLiteral("HTML");
    QTest::newRow("second after a Tab, Return")
        << 1 << Qt::Key_Return << qint16{2} << QStringLiteral("ASP");
    QTest::newRow("third after two Tabs, keypad Enter")
        << 2 << Qt::Key_Enter << qint16{3} << QStringLiteral("javalogo52x88");
}

void ToolbarTest::reportsPositionAndKeyFromTheKeyboard() {
    QFETCH(int, tabs);
    QFETCH(Qt::Key, press);
    QFETCH(qint16, position);
    QFETCH(QString, key);
    QSignalSpy clicks(m_Toolbar, &Toolbar::ButtonClick);

    m_Toolbar->Button(1)->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), m_Toolbar->Button(1));
    for (int i = 0; i < tabs; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), m_Toolbar->Button(position));
    QTest::keyClick(QApplication::focusWidget(), press);

    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<qint16>(), position);
    QCOMPARE(clicks.at(0).at(1).toString(), key);
}

void ToolbarTest::onlyTheButtonItsOwnerSelectsShowsSelected() {
    // A press only reports; the owner decides what shows as selected.
    QTest::mouseClick(m_Toolbar->Button(2), Qt::LeftButton);
    QCOMPARE(SelectedStates(*m_Toolbar), (QList<bool>{false, false, false}));
    m_Toolbar->SetSelectedButton(3);
    QCOMPARE(SelectedStates(*m_Toolbar), (QList<bool>{false, false, true}));
    m_Toolbar->Button(1)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(m_Toolbar->Button(1), Qt::Key_Space);
    QCOMPARE(SelectedStates(*m_Toolbar), (QList<bool>{false, false, true}));
    m_Toolbar->SetSelectedButton(1);
    QCOMPARE(SelectedStates(*m_Toolbar), (QList<bool>{true, false, false}));
    m_Toolbar->SetSelectedButton(0);
    QCOMPARE(SelectedStates(*m_Toolbar), (QList<bool>{false, false, false}));
}

void ToolbarTest::buttonsShowCaptionAndPictureSideBySide_data() {
    QTest::addColumn<qint16>("position");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("pictureSize");
    QTest::newRow("1, caption with leading blank")
        << qint16{1} << QStringLiteral(" HTML") << QSize(20, 23);
    QTest::newRow("2") << qint16{2} << QStringLiteral("ASP") << QSize(34, 14);
    QTest::newRow("3") << qint16{3} << QStringLiteral("JS") << QSize(32, 32);
}

void ToolbarTest::buttonsShowCaptionAndPictureSideBySide() {
    QFETCH(qint16, position);
    QFETCH(QString, caption);
    QFETCH(QSize, pictureSize);
    const ToolbarButton* button = m_Toolbar->Button(position);

    QCOMPARE(button->Caption(), caption);
    QCOMPARE(button->PictureSize(), pictureSize);
    // Picture and caption both fit on the button, and the button on the bar.
    QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(caption));
    QVERIFY(button->width() >= pictureSize.width());
    QVERIFY(button->height() >= pictureSize.height() + button->fontMetrics().height());
    QVERIFY(m_Toolbar->rect().contains(button->geometry()));
    if (position > 1) {
        const QRect previous = m_Toolbar->Button(static_cast<qint16>(position - 1))->geometry();
        QCOMPARE(button->x() - (previous.right() + 1), kGap);
        QCOMPARE(button->y(), previous.y());
    }
}

void ToolbarTest::maskColourOfAPictureIsDrawnTransparent_data() {
    QTest::addColumn<bool>("masked");
    QTest::addColumn<bool>("whiteShows");
    QTest::newRow("white masked") << true << false;
    QTest::newRow("no mask") << false << true;
}

void ToolbarTest::maskColourOfAPictureIsDrawnTransparent() {
    QFETCH(bool, masked);
    QFETCH(bool, whiteShows);
    // The ASP picture stands on white; nothing else on the button is white.
    QVERIFY(m_Window->palette().color(QPalette::Window) != QColor(Qt::white));
    Toolbar toolbar(m_Window.get());
    toolbar.setGeometry(0, 70, 100, 49);
    toolbar.AddButton(QStringLiteral("ASP"), QStringLiteral("ASP"), QStringLiteral("ASP"),
                      QStringLiteral(":/pictures/ToolbarASP.svg"),
                      masked ? std::optional(QColor(Qt::white)) : std::nullopt);
    toolbar.show();

    const QImage shot = toolbar.Button(1)->grab().toImage();
    bool white = false;
    for (int y = 0; y < shot.height() && !white; ++y) {
        for (int x = 0; x < shot.width() && !white; ++x) {
            white = shot.pixel(x, y) == qRgb(0xFF, 0xFF, 0xFF);
        }
    }
    QCOMPARE(white, whiteShows);
}

void ToolbarTest::pointerRestingOnAButtonShowsItsTooltip_data() {
    QTest::addColumn<qint16>("position");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("1") << qint16{1} << QStringLiteral("HTML");
    QTest::newRow("3, the key, not the caption") << qint16{3} << QStringLiteral("javalogo52x88");
}

void ToolbarTest::pointerRestingOnAButtonShowsItsTooltip() {
    QFETCH(qint16, position);
    QFETCH(QString, tooltip);
    ToolbarButton* button = m_Toolbar->Button(position);

    QTest::mouseMove(m_Window.get(), QPoint(5, 100));
    QTest::mouseMove(button);

    QTRY_COMPARE(QToolTip::text(), tooltip);
    QCOMPARE(QToolTip::font().families().value(0), QStringLiteral("Verdana"));
    QCOMPARE(QToolTip::font().pointSizeF(), 8.25);
}

QTEST_MAIN(ToolbarTest)
#include "ToolbarTest.moc"
