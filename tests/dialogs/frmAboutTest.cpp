// Tests of the about box: opened for real over an owner, read through its widgets, closed by OK.
#include "frmAbout.h"

#include "DragBar.h"
#include "ModalAnswers.h"
#include "Shape.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <map>
#include <memory>

using quillomatic::DragBar;
using quillomatic::frmAbout;
using quillomatic::Shape;
using quillomatic::testing::ModalAnswers;

namespace {

using Texts = std::map<QString, QString>;

const QString kDescription = QStringLiteral(
    "Quillomatic quickly converts your HTML into scripting language, allowing you to have less "
    "HTML blocks in your scripts, and speeding up performance. Quillomatic supports ASP, "
    "JavaScript, JSP, Perl, and PHP. Find out more at www.pellweather.example/.");

QPushButton* OkOf(const QWidget* box) {
    return box->findChild<QPushButton*>(QStringLiteral("cmdOK"));
}

// Every text the box shows, by the name of the control that shows it; the
// window's own caption under "window".
Texts TextsOf(const QWidget* box) {
    Texts texts{{QStringLiteral("window"), box->windowTitle()}};
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        texts[label->objectName()] = label->text();
    }
    if (const auto* bar = box->findChild<DragBar*>(QStringLiteral("tdbTitle"))) {
        texts[bar->objectName()] = bar->Caption();
    }
    if (const QPushButton* ok = OkOf(box)) {
        texts[ok->objectName()] = ok->text();
    }
    return texts;
}

// Waits until the box is the active window, where its keys and focus live.
bool BecomesActive(QWidget* box) {
    return QTest::qWaitFor([box] {
        return QApplication::activeWindow() == box && QApplication::focusWidget() != nullptr &&
               QApplication::focusWidget()->window() == box;
    });
}

} // namespace

class frmAboutTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsItsTexts_data();
    void showsItsTexts();
    void showsTheSameTextsWhenOpenedAgain();
    void closesWithOkAndOnlyThenReturns_data();
    void closesWithOkAndOnlyThenReturns();
    void ownerTakesNoInputWhileOpen();
    void opensCentredOverItsOwner();
    void controlsStandWhereTheLayoutPutsThem_data();
    void controlsStandWhereTheLayoutPutsThem();
    void webAddressShowsWholeOnItsLine();
    void fonts_data();
    void fonts();
    void coloursOfLinkTitleAndLine();

private:
    // Opens a fresh about box, as the "?" button does, and lets `answer` deal
    // with it. False when the answer left it open (it is then closed with OK)
    // or Form_Load returned while it was still up.
    bool Open(const ModalAnswers::Answer& answer);

    std::unique_ptr<QWidget> m_Owner;
    QPushButton* m_OwnerButton = nullptr;
};

void frmAboutTest::init() {
    m_Owner = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_Owner->setFixedSize(478, 326);
    m_OwnerButton = new QPushButton(QStringLiteral("Copy All"), m_Owner.get());
    m_OwnerButton->setGeometry(8, 280, 145, 41);
    m_Owner->move(100, 80);
    m_Owner->show();
    m_Owner->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Owner.get()));
    QTRY_COMPARE(m_Owner->pos(), QPoint(100, 80));
}

void frmAboutTest::cleanup() {
    m_Owner.reset();
}

bool frmAboutTest::Open(const ModalAnswers::Answer& answer) {
    bool closedByAnswer = false;
    ModalAnswers answers;
    answers.Then([&](QWidget* box) {
        answer(box);
        closedByAnswer = !box->isVisible();
        if (!closedByAnswer) {
            QTest::mouseClick(OkOf(box), Qt::LeftButton);
        }
    });
    frmAbout about(m_Owner.get());
    // Should nothing answer the box, OK ends it, so the test reports rather than waits.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [&about, &closedByAnswer] {
        closedByAnswer = false;
        QTest::mouseClick(OkOf(&about), Qt::LeftButton);
    });
    watchdog.start(10000);
    about.Form_Load();
    watchdog.stop();
    const bool closed = !about.isVisible();
    // A desktop hands the activation back to the owner once the box closes;
    // the offscreen platform leaves that to us.
    m_Owner->activateWindow();
    return closedByAnswer && closed && answers.AllAnswered() &&
           QTest::qWaitFor([this] { return QApplication::activeWindow() == m_Owner.get(); });
}

void frmAboutTest::showsItsTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("window caption") << QStringLiteral("window") << QStringLiteral("Quillomatic");
    QTest::newRow("title bar") << QStringLiteral("tdbTitle") << QStringLiteral("Quillomatic");
    QTest::newRow("application") << QStringLiteral("lblApp") << QStringLiteral("Quillomatic");
    QTest::newRow("maker") << QStringLiteral("Label3") << QStringLiteral("Pellweather");
    QTest::newRow("web address") << QStringLiteral("lblHyperLink")
                                 << QStringLiteral("(http://www.pellweather.example/)");
    QTest::newRow("description") << QStringLiteral("Label1") << kDescription;
    QTest::newRow("powered by") << QStringLiteral("Label4") << QStringLiteral("Powered By:");
    QTest::newRow("version line") << QStringLiteral("lblPoweredBy")
                                  << QStringLiteral("Pellweather Vorsk HTML Converter Version 1.3");
    QTest::newRow("OK") << QStringLiteral("cmdOK") << QStringLiteral("OK");
}

void frmAboutTest::showsItsTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    Texts shown;
    QVERIFY(Open([&](QWidget* box) {
        shown = TextsOf(box);
        QTest::mouseClick(OkOf(box), Qt::LeftButton);
    }));
    QVERIFY2(shown.count(name) == 1, qPrintable(name));
    QCOMPARE(shown[name], text);
}

void frmAboutTest::showsTheSameTextsWhenOpenedAgain() {
    Texts first;
    Texts second;
    QVERIFY(Open([&](QWidget* box) {
        first = TextsOf(box);
        QTest::mouseClick(OkOf(box), Qt::LeftButton);
    }));
    QVERIFY(Open([&](QWidget* box) {
        second = TextsOf(box);
        if (BecomesActive(box)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
    }));
    QCOMPARE(first.size(), std::size_t{9});
    QVERIFY(first == second);
}

void frmAboutTest::closesWithOkAndOnlyThenReturns_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("mouse click on OK") << 0;
    QTest::newRow("Return") << static_cast<int>(Qt::Key_Return);
    QTest::newRow("keypad Enter") << static_cast<int>(Qt::Key_Enter);
    QTest::newRow("Space") << static_cast<int>(Qt::Key_Space);
}

void frmAboutTest::closesWithOkAndOnlyThenReturns() {
    QFETCH(int, key);
    QString focused;
    QVERIFY(Open([&](QWidget* box) {
        if (key == 0) {
            QTest::mouseClick(OkOf(box), Qt::LeftButton);
        } else if (BecomesActive(box)) {
            focused = QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        }
    }));
    if (key != 0) {
        QCOMPARE(focused, QStringLiteral("cmdOK"));
    }
}

void frmAboutTest::ownerTakesNoInputWhileOpen() {
    QSignalSpy ownerClicks(m_OwnerButton, &QPushButton::clicked);
    // Through the window system, where a modal window blocks the others.
    const auto clickOwnerButton = [this] {
        QTest::mouseClick(m_Owner->windowHandle(), Qt::LeftButton, {},
                          m_OwnerButton->geometry().center());
    };

    QWidget* modal = nullptr;
    QWidget* box = nullptr;
    int clicksWhileOpen = -1;
    QVERIFY(Open([&](QWidget* shown) {
        box = shown;
        modal = QApplication::activeModalWidget();
        clickOwnerButton();
        clicksWhileOpen = static_cast<int>(ownerClicks.count());
        QTest::mouseClick(OkOf(shown), Qt::LeftButton);
    }));

    QCOMPARE(modal, box);
    QCOMPARE(clicksWhileOpen, 0);
    // The same click reaches the owner once the box is closed.
    clickOwnerButton();
    QCOMPARE(ownerClicks.count(), 1);
}

void frmAboutTest::opensCentredOverItsOwner() {
    QPoint centre;
    QVERIFY(Open([&](QWidget* box) {
        QTest::qWait(20);
        centre = box->geometry().center();
        QTest::mouseClick(OkOf(box), Qt::LeftButton);
    }));
    const QPoint ownerCentre = QRect(QPoint(100, 80), QSize(478, 326)).center();
    QVERIFY2((centre - ownerCentre).manhattanLength() <= 2,
             qPrintable(QStringLiteral("box centre (%1, %2)").arg(centre.x()).arg(centre.y())));
}

void frmAboutTest::controlsStandWhereTheLayoutPutsThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    // Twips of the layout divided by 15, rounded.
    QTest::newRow("cmdOK") << QStringLiteral("cmdOK") << QRect(312, 176, 65, 25);
    QTest::newRow("tdbTitle") << QStringLiteral("tdbTitle") << QRect(0, 0, 385, 17);
    QTest::newRow("lblPoweredBy") << QStringLiteral("lblPoweredBy") << QRect(96, 176, 201, 25);
    QTest::newRow("Label4") << QStringLiteral("Label4") << QRect(8, 176, 81, 17);
    QTest::newRow("Line1, row 168 from 8 to 376")
        << QStringLiteral("Line1") << QRect(QPoint(8, 168), QPoint(376, 168));
    QTest::newRow("Label3") << QStringLiteral("Label3") << QRect(64, 56, 73, 17);
    QTest::newRow("lblApp") << QStringLiteral("lblApp") << QRect(64, 32, 305, 17);
    QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(64, 88, 305, 65);
    QTest::newRow("Image1") << QStringLiteral("Image1") << QRect(11, 40, 20, 23);
}

void frmAboutTest::controlsStandWhereTheLayoutPutsThem() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    const frmAbout about(m_Owner.get());
    QCOMPARE(about.size(), QSize(382, 212));
    QVERIFY(about.windowFlags().testFlag(Qt::FramelessWindowHint));
    const auto* control = about.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
}

void frmAboutTest::webAddressShowsWholeOnItsLine() {
    const frmAbout about(m_Owner.get());
    const auto* link = about.findChild<QLabel*>(QStringLiteral("lblHyperLink"));
    QVERIFY(link);
    // Where the layout puts it, at least as wide, and as wide as the address.
    QCOMPARE(link->pos(), QPoint(152, 56));
    QCOMPARE(link->height(), 17);
    QVERIFY(link->width() >= 177);
    QVERIFY(link->width() >= link->fontMetrics().horizontalAdvance(link->text()));
    QVERIFY(link->geometry().right() < about.width());
}

void frmAboutTest::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::newRow("the box") << QString() << false << false;
    QTest::newRow("cmdOK") << QStringLiteral("cmdOK") << false << false;
    QTest::newRow("tdbTitle") << QStringLiteral("tdbTitle") << true << false;
    QTest::newRow("lblHyperLink") << QStringLiteral("lblHyperLink") << false << true;
    QTest::newRow("lblPoweredBy") << QStringLiteral("lblPoweredBy") << false << false;
    QTest::newRow("Label4") << QStringLiteral("Label4") << true << false;
    QTest::newRow("Label3") << QStringLiteral("Label3") << false << false;
    QTest::newRow("lblApp") << QStringLiteral("lblApp") << true << false;
    QTest::newRow("Label1") << QStringLiteral("Label1") << false << false;
}

void frmAboutTest::fonts() {
    QFETCH(QString, name);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    const frmAbout about(m_Owner.get());
    const QWidget* control =
        name.isEmpty() ? &about : about.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(control);
    QCOMPARE(control->font().families().value(0), QStringLiteral("Verdana"));
    QCOMPARE(control->font().pointSizeF(), 8.25);
    QCOMPARE(control->font().bold(), bold);
    QCOMPARE(control->font().underline(), underline);
    QCOMPARE(control->font().italic(), false);
}

void frmAboutTest::coloursOfLinkTitleAndLine() {
    const frmAbout about(m_Owner.get());
    const auto* link = about.findChild<QLabel*>(QStringLiteral("lblHyperLink"));
    const auto* title = about.findChild<DragBar*>(QStringLiteral("tdbTitle"));
    const auto* line = about.findChild<Shape*>(QStringLiteral("Line1"));
    QVERIFY(link && title && line);
    QVERIFY(QPalette().color(QPalette::Highlight) != QPalette().color(QPalette::WindowText));

    QCOMPARE(link->palette().color(QPalette::WindowText), QPalette().color(QPalette::Highlight));
    QCOMPARE(title->ForeColor(), QColor(Qt::white));
    QCOMPARE(line->Color(), QPalette().color(QPalette::WindowText));
}

QTEST_MAIN(frmAboutTest)
#include "frmAboutTest.moc"
