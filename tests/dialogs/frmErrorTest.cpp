// Tests of the message box: shown for real over an owner, answered through its buttons and keys.
#include "frmError.h"

#include "DragBar.h"
#include "ModalAnswers.h"
#include "SystemBeep.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

using quillomatic::DragBar;
using quillomatic::frmError;
using quillomatic::SystemBeep;
using quillomatic::testing::ModalAnswers;
using quillomatic::testing::SeenMessage;

namespace {

const QString kTwoSentences = QStringLiteral("First.\r\n\r\nSecond.");

QPushButton* ButtonOf(const QWidget* box, int number) {
    return box->findChild<QPushButton*>(number == 1 ? QStringLiteral("cmd1")
                                                    : QStringLiteral("cmd2"));
}

QLabel* PromptOf(const QWidget* box) {
    return box->findChild<QLabel*>(QStringLiteral("Label1"), Qt::FindDirectChildrenOnly);
}

// Puts a notice on the box (captions and title left to their defaults) and
// lets `answer` deal with it. False when the answer left the box up; it is then
// closed through its first button, so the test goes on.
bool Ask(frmError& box, const ModalAnswers::Answer& answer, const QString& prompt = kTwoSentences) {
    bool answered = false;
    // One script per showing: the box is the same window every time.
    ModalAnswers answers;
    answers.Then([&](QWidget* shown) {
        answer(shown);
        answered = !shown->isVisible();
        if (!answered) {
            QTest::mouseClick(ButtonOf(shown, 1), Qt::LeftButton);
        }
    });
    QString text = prompt;
    QString caption1;
    QString caption2;
    QString title;
    // Should nothing answer the box, its first button ends it, so the test
    // reports rather than waits.
    bool rescued = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &box, [&box, &rescued] {
        rescued = box.isVisible();
        QTest::mouseClick(ButtonOf(&box, 1), Qt::LeftButton);
    });
    watchdog.start(10000);
    box.cMsgBox(text, caption1, caption2, title);
    watchdog.stop();
    // A desktop hands the activation back to the owner once the box hides; the
    // offscreen platform does not, and the next showing would not activate the box.
    QWidget* owner = box.parentWidget();
    owner->activateWindow();
    return answered && !rescued && answers.AllAnswered() &&
           QTest::qWaitFor([owner] { return QApplication::activeWindow() == owner; });
}

// Waits until the box is the active window, where its keys and focus live.
bool BecomesActive(QWidget* box) {
    return QTest::qWaitFor([box] {
        return QApplication::activeWindow() == box && QApplication::focusWidget() != nullptr &&
               QApplication::focusWidget()->window() == box;
    });
}

// The top rows of the runs of dark pixels in `image`: one per line of text.
QList<int> InkedLineTops(const QImage& image) {
    QList<int> tops;
    bool inInk = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) {
            ink = qGray(image.pixel(x, y)) < 128;
        }
        if (ink && !inInk) {
            tops.append(y);
        }
        inInk = ink;
    }
    return tops;
}

} // namespace

class frmErrorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsDefaultsAndWritesThemBack_data();
    void showsDefaultsAndWritesThemBack();
    void resultTellsWhichButtonWasClicked_data();
    void resultTellsWhichButtonWasClicked();
    void resultKeepsTheLastAnswerUntilTheNext();
    void focusStartsOnTheFirstButtonAtEveryShowing();
    void comingBackFromAnotherProgramKeepsTheFocus();
    void keysAnswerWithTheFocusedButton_data();
    void keysAnswerWithTheFocusedButton();
    void escapeAndCloseRequestsLeaveTheQuestionUp_data();
    void escapeAndCloseRequestsLeaveTheQuestionUp();
    void ownerTakesNoInputWhileTheBoxIsUp();
    void longPromptIsCutOffAndNothingGrows();
    void longPathIsShortenedInTheMiddleAndTheReasonShows_data();
    void longPathIsShortenedInTheMiddleAndTheReasonShows();
    void shortPathLosesOnlyWhatTheBoxCannotShow_data();
    void shortPathLosesOnlyWhatTheBoxCannotShow();
    void twoSentencePromptShowsOneBlankLineBetween();
    void beepsOnceBeforeEachShowing();
    void centredOverItsOwnerFirstThenStaysWhereMoved();
    void controlsStandWhereTheLayoutPutsThem_data();
    void controlsStandWhereTheLayoutPutsThem();
    void fontsAndColours_data();
    void fontsAndColours();

private:
    std::unique_ptr<QWidget> m_Owner;
    QPushButton* m_OwnerButton = nullptr;
    frmError* m_Box = nullptr;
};

void frmErrorTest::init() {
    m_Owner = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_Owner->setFixedSize(478, 326);
    m_OwnerButton = new QPushButton(QStringLiteral("Convert HTML now!"), m_Owner.get());
    m_OwnerButton->setGeometry(264, 280, 201, 41);
    m_Owner->move(100, 80);
    m_Owner->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_Owner.get()));
    QTRY_COMPARE(m_Owner->pos(), QPoint(100, 80));
    m_Box = new frmError(m_Owner.get());
}

void frmErrorTest::cleanup() {
    m_Owner.reset();
    m_Box = nullptr;
}

void frmErrorTest::showsDefaultsAndWritesThemBack_data() {
    QTest::addColumn<QString>("caption1");
    QTest::addColumn<QString>("caption2");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shownCaption1");
    QTest::addColumn<QString>("shownCaption2");
    QTest::addColumn<QString>("shownTitle");

    const QString yes = QStringLiteral("Yes");
    const QString no = QStringLiteral("No");
    const QString ok = QStringLiteral("OK");
    const QString cancel = QStringLiteral("Cancel");
    const QString quillomatic = QStringLiteral("Quillomatic");
    QTest::newRow("all empty") << QString() << QString() << QString() << ok << cancel
                               << quillomatic;
    QTest::newRow("only caption 2 empty")
        << yes << QString() << QString() << yes << cancel << quillomatic;
    QTest::newRow("only caption 1 empty")
        << QString() << no << QString() << ok << no << quillomatic;
    QTest::newRow("question with both captions")
        << yes << no << QString() << yes << no << quillomatic;
    QTest::newRow("own title") << yes << no << QStringLiteral("Load HTML") << yes << no
                               << QStringLiteral("Load HTML");
}

void frmErrorTest::showsDefaultsAndWritesThemBack() {
    QFETCH(QString, caption1);
    QFETCH(QString, caption2);
    QFETCH(QString, title);
    QFETCH(QString, shownCaption1);
    QFETCH(QString, shownCaption2);
    QFETCH(QString, shownTitle);

    SeenMessage seen;
    bool bothButtonsUsable = false;
    ModalAnswers answers;
    answers.Then([&](QWidget* box) {
        seen = ModalAnswers::Read(box);
        bothButtonsUsable = ButtonOf(box, 1)->isVisible() && ButtonOf(box, 1)->isEnabled() &&
                            ButtonOf(box, 2)->isVisible() && ButtonOf(box, 2)->isEnabled();
        QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
    });
    QString text = QStringLiteral("Sorry, that file doesn't exist.");
    QString givenTitle = title;
    m_Box->cMsgBox(text, caption1, caption2, givenTitle);

    QVERIFY(answers.AllAnswered());
    QCOMPARE(seen.Text, QStringLiteral("Sorry, that file doesn't exist."));
    QCOMPARE(seen.Caption1, shownCaption1);
    QCOMPARE(seen.Caption2, shownCaption2);
    QCOMPARE(seen.Title, shownTitle);
    QVERIFY(bothButtonsUsable);
    // The caller's captions now hold what was shown; its title stays as given.
    QCOMPARE(caption1, shownCaption1);
    QCOMPARE(caption2, shownCaption2);
    QCOMPARE(givenTitle, title);
    QCOMPARE(text, QStringLiteral("Sorry, that file doesn't exist."));
}

void frmErrorTest::resultTellsWhichButtonWasClicked_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("first") << 1;
    QTest::newRow("second") << 2;
}

void frmErrorTest::resultTellsWhichButtonWasClicked() {
    QFETCH(int, button);

    QVERIFY(Ask(*m_Box, [button](QWidget* box) {
        QTest::mouseClick(ButtonOf(box, button), Qt::LeftButton);
    }));

    QVERIFY(!m_Box->isVisible());
    QCOMPARE(m_Box->MsgBoxResult(), button);
}

void frmErrorTest::resultKeepsTheLastAnswerUntilTheNext() {
    const int presses[] = {2, 1, 1, 2};
    QList<int> resultWhileUp;
    QList<int> resultAfter;
    for (const int press : presses) {
        QVERIFY(Ask(*m_Box, [&, press](QWidget* box) {
            resultWhileUp.append(m_Box->MsgBoxResult());
            QTest::mouseClick(ButtonOf(box, press), Qt::LeftButton);
        }));
        resultAfter.append(m_Box->MsgBoxResult());
    }
    QCOMPARE(resultWhileUp, (QList<int>{0, 2, 1, 1}));
    QCOMPARE(resultAfter, (QList<int>{2, 1, 1, 2}));
}

void frmErrorTest::focusStartsOnTheFirstButtonAtEveryShowing() {
    QList<QWidget*> focusedAtShowing;
    // First question: the user tabs to the second button and answers with it.
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        focusedAtShowing.append(BecomesActive(box) ? QApplication::focusWidget() : nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }));
    QCOMPARE(m_Box->MsgBoxResult(), 2);
    // Second question: the focus is back on the first button.
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        focusedAtShowing.append(BecomesActive(box) ? QApplication::focusWidget() : nullptr);
        QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
    }));

    QWidget* const first = ButtonOf(m_Box, 1);
    QCOMPARE(focusedAtShowing, (QList<QWidget*>{first, first}));
}

void frmErrorTest::comingBackFromAnotherProgramKeepsTheFocus() {
    QWidget* focusedOnReturn = nullptr;
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        if (!BecomesActive(box)) {
            return;
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        // Another program takes the activation, then hands it back.
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(box);
        focusedOnReturn = QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }));

    QCOMPARE(focusedOnReturn, ButtonOf(m_Box, 2));
    QCOMPARE(m_Box->MsgBoxResult(), 2);
}

void frmErrorTest::keysAnswerWithTheFocusedButton_data() {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("answer");
    QTest::newRow("Return") << 0 << Qt::Key_Return << 1;
    QTest::newRow("keypad Enter") << 0 << Qt::Key_Enter << 1;
    QTest::newRow("Space") << 0 << Qt::Key_Space << 1;
    QTest::newRow("Tab, Return") << 1 << Qt::Key_Return << 2;
    QTest::newRow("Tab, keypad Enter") << 1 << Qt::Key_Enter << 2;
    QTest::newRow("Tab, Space") << 1 << Qt::Key_Space << 2;
    QTest::newRow("Tab twice comes round, Return") << 2 << Qt::Key_Return << 1;
}

void frmErrorTest::keysAnswerWithTheFocusedButton() {
    QFETCH(int, tabs);
    QFETCH(Qt::Key, key);
    QFETCH(int, answer);

    bool active = false;
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        active = BecomesActive(box);
        for (int i = 0; i < tabs; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), key);
    }));

    QVERIFY(active);
    QCOMPARE(m_Box->MsgBoxResult(), answer);
}

void frmErrorTest::escapeAndCloseRequestsLeaveTheQuestionUp_data() {
    QTest::addColumn<bool>("escape");
    QTest::addColumn<bool>("closeRequest");
    QTest::newRow("Escape") << true << false;
    QTest::newRow("close request") << false << true;
    QTest::newRow("Escape, then close request") << true << true;
}

void frmErrorTest::escapeAndCloseRequestsLeaveTheQuestionUp() {
    QFETCH(bool, escape);
    QFETCH(bool, closeRequest);

    bool stillUp = false;
    int resultMeanwhile = -1;
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        const bool active = BecomesActive(box);
        if (escape) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }
        if (closeRequest) {
            box->close();
        }
        QTest::qWait(30);
        stillUp = active && box->isVisible() && QApplication::activeModalWidget() == box;
        resultMeanwhile = m_Box->MsgBoxResult();
        if (box->isVisible()) {
            QTest::mouseClick(ButtonOf(box, 2), Qt::LeftButton);
        }
    }));

    QVERIFY(stillUp);
    QCOMPARE(resultMeanwhile, 0);
    QCOMPARE(m_Box->MsgBoxResult(), 2);
}

void frmErrorTest::ownerTakesNoInputWhileTheBoxIsUp() {
    QSignalSpy ownerClicks(m_OwnerButton, &QPushButton::clicked);
    // Through the window system, where a modal window blocks the others.
    const auto clickOwnerButton = [this] {
        QTest::mouseClick(m_Owner->windowHandle(), Qt::LeftButton, {},
                          m_OwnerButton->geometry().center());
    };

    int clicksWhileUp = -1;
    QWidget* modalWhileUp = nullptr;
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        modalWhileUp = QApplication::activeModalWidget();
        clickOwnerButton();
        clicksWhileUp = static_cast<int>(ownerClicks.count());
        QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
    }));

    QCOMPARE(modalWhileUp, m_Box);
    QCOMPARE(clicksWhileUp, 0);
    // The same click reaches the owner once the box is gone.
    clickOwnerButton();
    QCOMPARE(ownerClicks.count(), 1);
}

void frmErrorTest::longPromptIsCutOffAndNothingGrows() {
    QString prompt;
    for (int i = 1; i <= 40; ++i) {
        prompt += QStringLiteral("Sentence %1 of a prompt far too long for the box. ").arg(i);
    }
    prompt = prompt.trimmed();

    QRect label;
    int labelNeeds = 0;
    QString labelText;
    QSize box;
    QRect first;
    QRect second;
    QVERIFY(Ask(
        *m_Box,
        [&](QWidget* shown) {
            QTest::qWait(20);
            label = PromptOf(shown)->geometry();
            labelNeeds = PromptOf(shown)->heightForWidth(label.width());
            labelText = PromptOf(shown)->text();
            box = shown->size();
            first = ButtonOf(shown, 1)->geometry();
            second = ButtonOf(shown, 2)->geometry();
            QTest::mouseClick(ButtonOf(shown, 1), Qt::LeftButton);
        },
        prompt));

    QVERIFY2(labelNeeds > 65, "the prompt would fit; the test proves nothing");
    QCOMPARE(labelText, prompt);
    QCOMPARE(label, QRect(72, 28, 193, 65));
    QCOMPARE(box, QSize(289, 138));
    QCOMPARE(first, QRect(72, 104, 81, 25));
    QCOMPARE(second, QRect(184, 104, 81, 25));
}

void frmErrorTest::longPathIsShortenedInTheMiddleAndTheReasonShows_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("wholeName");
    QTest::newRow("short file name: kept whole")
        << QStringLiteral("index.php") << true;
    // Two lines are left under a two-line first sentence: the reason takes
    // one, so the name loses its middle too, keeping its start and extension.
    QTest::newRow("file name too long to keep whole beside the reason")
        << QStringLiteral("customer_invoice_overview.php") << false;
}

void frmErrorTest::longPathIsShortenedInTheMiddleAndTheReasonShows() {
    QFETCH(QString, fileName);
    QFETCH(bool, wholeName);
    QString folder = QStringLiteral("/srv/www/shop");
    while (folder.size() + 1 + fileName.size() < 200) {
        folder += QStringLiteral("/templates");
    }
    const QString path = folder.left(200 - 1 - fileName.size()) + QLatin1Char('/') + fileName;
    QCOMPARE(path.size(), 200);
    const QString first = QStringLiteral("The script source could not be written to the file.");
    const QString reason = QStringLiteral(": the folder does not exist.");
    const QString prompt =
        first + QStringLiteral("\r\n\r\nCannot create \"") + path + QLatin1Char('"') + reason;

    QString shownText;
    QSize labelSize;
    QRect needed;
    QVERIFY(Ask(
        *m_Box,
        [&](QWidget* box) {
            QLabel* label = PromptOf(box);
            shownText = label->text();
            labelSize = label->size();
            // What the label's own word wrap needs for the text.
            needed = label->fontMetrics().boundingRect(
                QRect(0, 0, labelSize.width(), 100 * labelSize.height()),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shownText);
            QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
        },
        prompt));

    QVERIFY2(needed.width() <= labelSize.width() && needed.height() <= labelSize.height(),
             qPrintable(QStringLiteral("%1 x %2 needed in %3 x %4 for: %5")
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(labelSize.width())
                            .arg(labelSize.height())
                            .arg(shownText)));
    const QString opening = first + QStringLiteral("\n\nCannot create \"");
    QVERIFY2(shownText.startsWith(opening), qPrintable(shownText));
    QVERIFY2(shownText.endsWith(QLatin1Char('"') + reason), qPrintable(shownText));
    const QString shownPath = shownText.mid(opening.size()).chopped(reason.size() + 1);
    QVERIFY2(shownPath.contains(QStringLiteral("\u2026")), qPrintable(shownPath));
    const QString shownName = shownPath.mid(shownPath.lastIndexOf(QLatin1Char('/')) + 1);
    if (wholeName) {
        QCOMPARE(shownName, fileName);
        QVERIFY2(shownPath.startsWith(QStringLiteral("\u2026/")), qPrintable(shownPath));
    } else {
        QVERIFY2(shownName.startsWith(fileName.left(4)) &&
                     shownName.endsWith(QStringLiteral(".php")),
                 qPrintable(shownName));
    }
}

void frmErrorTest::twoSentencePromptShowsOneBlankLineBetween() {
    QString shownText;
    QList<int> lineTops;
    int lineSpacing = 0;
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        QLabel* prompt = PromptOf(box);
        shownText = prompt->text();
        lineTops = InkedLineTops(prompt->grab().toImage());
        lineSpacing = prompt->fontMetrics().lineSpacing();
        QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
    }));

    QVERIFY(shownText.contains(QStringLiteral("First.")));
    QVERIFY(shownText.contains(QStringLiteral("Second.")));
    // Two inked lines, the second two line steps below the first: one blank line.
    QCOMPARE(lineTops.size(), 2);
    QVERIFY2(qAbs(lineTops[1] - lineTops[0] - 2 * lineSpacing) <= 1,
             qPrintable(QStringLiteral("lines at %1 and %2, line spacing %3")
                            .arg(lineTops[0])
                            .arg(lineTops[1])
                            .arg(lineSpacing)));
}

void frmErrorTest::beepsOnceBeforeEachShowing() {
    QSignalSpy beeps(&SystemBeep::Instance(), &SystemBeep::Beeped);
    QList<bool> visibleAtBeep;
    const QMetaObject::Connection watch =
        connect(&SystemBeep::Instance(), &SystemBeep::Beeped, this,
                [&] { visibleAtBeep.append(m_Box->isVisible()); });

    QList<int> beepsWhileUp;
    for (int question = 0; question < 2; ++question) {
        QVERIFY(Ask(*m_Box, [&](QWidget* box) {
            beepsWhileUp.append(static_cast<int>(beeps.count()));
            QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
        }));
    }
    disconnect(watch);

    QCOMPARE(beepsWhileUp, (QList<int>{1, 2}));
    QCOMPARE(beeps.count(), 2);
    QCOMPARE(visibleAtBeep, (QList<bool>{false, false}));
}

void frmErrorTest::centredOverItsOwnerFirstThenStaysWhereMoved() {
    QPoint firstCentre;
    QPoint draggedTo;
    QPoint secondPosition;
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        QTest::qWait(20);
        firstCentre = box->geometry().center();
        // The user drags the box by its title bar.
        auto* bar = box->findChild<DragBar*>(QStringLiteral("tdbTitle"));
        const QPoint moved = box->pos() + QPoint(70, 40);
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(30, 8));
        QTest::mouseMove(bar, QPoint(30 + 70, 8 + 40));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(30 + 70, 8 + 40));
        if (QTest::qWaitFor([&] { return box->pos() == moved; })) {
            draggedTo = box->pos();
        }
        QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
    }));
    // Moving the owner meanwhile does not bring the box back over it.
    m_Owner->move(300, 200);
    QTRY_COMPARE(m_Owner->pos(), QPoint(300, 200));
    QVERIFY(Ask(*m_Box, [&](QWidget* box) {
        QTest::qWait(20);
        secondPosition = box->pos();
        QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
    }));

    const QPoint ownerCentreThen = QRect(QPoint(100, 80), QSize(478, 326)).center();
    QVERIFY2((firstCentre - ownerCentreThen).manhattanLength() <= 2,
             qPrintable(
                 QStringLiteral("box centre (%1, %2)").arg(firstCentre.x()).arg(firstCentre.y())));
    QVERIFY(draggedTo != QPoint());
    QCOMPARE(secondPosition, draggedTo);
}

void frmErrorTest::controlsStandWhereTheLayoutPutsThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    // Twips of the layout divided by 15, rounded.
    QTest::newRow("tdbTitle") << QStringLiteral("tdbTitle") << QRect(0, 0, 289, 17);
    QTest::newRow("Shape1") << QStringLiteral("Shape1") << QRect(0, 16, 289, 121);
    QTest::newRow("Image1") << QStringLiteral("Image1") << QRect(16, 44, 32, 32);
    QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(72, 28, 193, 65);
    QTest::newRow("cmd1") << QStringLiteral("cmd1") << QRect(72, 104, 81, 25);
    QTest::newRow("cmd2") << QStringLiteral("cmd2") << QRect(184, 104, 81, 25);
}

void frmErrorTest::controlsStandWhereTheLayoutPutsThem() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QCOMPARE(m_Box->size(), QSize(289, 138));
    QVERIFY(m_Box->windowFlags().testFlag(Qt::FramelessWindowHint));
    const auto* control = m_Box->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
}

void frmErrorTest::fontsAndColours_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("bold");
    QTest::newRow("the box") << QString() << false;
    QTest::newRow("tdbTitle") << QStringLiteral("tdbTitle") << true;
    QTest::newRow("Label1") << QStringLiteral("Label1") << false;
    QTest::newRow("cmd1") << QStringLiteral("cmd1") << false;
    QTest::newRow("cmd2") << QStringLiteral("cmd2") << false;
}

void frmErrorTest::fontsAndColours() {
    QFETCH(QString, name);
    QFETCH(bool, bold);
    const QWidget* control =
        name.isEmpty() ? m_Box : m_Box->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(control);
    QCOMPARE(control->font().families().value(0), QStringLiteral("Verdana"));
    QCOMPARE(control->font().pointSizeF(), 8.25);
    QCOMPARE(control->font().bold(), bold);
    QCOMPARE(control->font().italic(), false);
    QCOMPARE(control->font().underline(), false);
    if (const auto* bar = qobject_cast<const DragBar*>(control)) {
        QCOMPARE(bar->ForeColor(), QColor(Qt::white));
    }
}

void frmErrorTest::shortPathLosesOnlyWhatTheBoxCannotShow_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the message fits: nothing is cut")
        << QStringLiteral("/tmp/abc/missing/out.js") << QStringLiteral("/tmp/abc/missing/out.js");
    // One line too many: the start goes, the missing folder stays.
    QTest::newRow("a line too many: only the start goes")
        << QStringLiteral("/home/ann/sites/new/page.js")
        << QStringLiteral("\u2026/ann/sites/new/page.js");
}

void frmErrorTest::shortPathLosesOnlyWhatTheBoxCannotShow() {
    QFETCH(QString, path);
    QFETCH(QString, shown);
    const QString prompt = QStringLiteral("The script source could not be written to the file.\r\n"
                                          "\r\nCannot create \"%1\": the folder does not exist.");
    QString shownText;
    QVERIFY(Ask(
        *m_Box,
        [&](QWidget* box) {
            shownText = PromptOf(box)->text();
            QTest::mouseClick(ButtonOf(box, 1), Qt::LeftButton);
        },
        prompt.arg(path)));
    QCOMPARE(shownText,
             QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).arg(shown));
}

QTEST_MAIN(frmErrorTest)
#include "frmErrorTest.moc"
