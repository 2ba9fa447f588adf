// Tests of the text box: CR LF line breaks, exact characters and the Change signal.
#include "TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using quillomatic::TextBox;

class TextBoxTest : public QObject {
    Q_OBJECT

private slots:
    void textBreaksLinesWithCrLfWhateverWasSet_data();
    void textBreaksLinesWithCrLfWhateverWasSet();
    void charactersSurviveUnchanged_data();
    void charactersSurviveUnchanged();
    void holdsTextOnlyForExactlyTheSameText_data();
    void holdsTextOnlyForExactlyTheSameText();
    void changeIsRaisedOncePerSetText_data();
    void changeIsRaisedOncePerSetText();
    void changeIsRaisedForEveryKeystroke();
    void largeTextShowsAtOnceAndIsWholeWheneverRead();
    void largeTextFillsInWhileIdleAndUndoKeepsIt();
    void newTextDuringAFillReplacesItWhole();
    void everyInputFindsTheWholeText_data();
    void everyInputFindsTheWholeText();
    void longLineIsWrappedInTheViewOnly();
    void everyLineActsAsALineOfItsOwn();
    void pasteCopyAndClearKeepEveryCharacterAndUndo();
};

namespace {

// A page of `lines` numbered lines, with CR LF breaks.
QString NumberedLines(int lines) {
    QString text;
    for (int i = 0; i < lines; ++i) {
        text += QStringLiteral("<p class=\"line\">line %1</p>\r\n").arg(i);
    }
    return text;
}

// TextBox::HoldsText for `text`, given as the window gives it.
bool Holds(TextBox& box, const QString& text) {
    return box.HoldsText(text.toStdString(), text.size() - text.count(QLatin1String("\r\n")));
}

enum class Input { Keys, ClipboardShortcuts, MouseDrag, Wheel, ScrollBar, ContextMenu, Drop };

} // namespace

Q_DECLARE_METATYPE(Input)

void TextBoxTest::textBreaksLinesWithCrLfWhateverWasSet_data() {
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("text");
    const QString threeLines = QStringLiteral("<p>\r\nx\r\n</p>");
    QTest::newRow("LF") << QStringLiteral("<p>\nx\n</p>") << threeLines;
    QTest::newRow("CR LF") << threeLines << threeLines;
    QTest::newRow("lone CR") << QStringLiteral("<p>\rx\r</p>") << threeLines;
    QTest::newRow("all three mixed")
        << QStringLiteral("<p>\r\nx\r</p>\nend") << QStringLiteral("<p>\r\nx\r\n</p>\r\nend");
    QTest::newRow("blank line between two sentences")
        << QStringLiteral("First.\r\n\r\nSecond.") << QStringLiteral("First.\r\n\r\nSecond.");
    QTest::newRow("blank line from two lone CRs")
        << QStringLiteral("a\r\rb") << QStringLiteral("a\r\n\r\nb");
    QTest::newRow("LF then CR are two breaks")
        << QStringLiteral("a\n\rb") << QStringLiteral("a\r\n\r\nb");
    QTest::newRow("break at the end") << QStringLiteral("a\n") << QStringLiteral("a\r\n");
    QTest::newRow("break at the start") << QStringLiteral("\rb") << QStringLiteral("\r\nb");
    QTest::newRow("only a break") << QStringLiteral("\n") << QStringLiteral("\r\n");
    QTest::newRow("empty") << QString() << QString();
}

void TextBoxTest::textBreaksLinesWithCrLfWhateverWasSet() {
    QFETCH(QString, set);
    QFETCH(QString, text);
    TextBox box;
    box.SetText(set);
    QCOMPARE(box.Text(), text);
    // The lines the box shows, as its scroll bar counts them.
    QCOMPARE(box.document()->lineCount(), static_cast<int>(text.count(QStringLiteral("\r\n"))) + 1);
}

void TextBoxTest::charactersSurviveUnchanged_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("no-break space") << QStringLiteral("a\u00A0b&nbsp;");
    QTest::newRow("tabs") << QStringLiteral("\t<td>\t\tx</td>\t");
    QTest::newRow("no-break spaces and tabs over several lines")
        << QStringLiteral("\u00A0<p>\r\n\t\u00A0x\r\n\t</p>\u00A0");
    QTest::newRow("blanks at line ends") << QStringLiteral("x   \r\n   \r\n");
    QTest::newRow("quotes, backslashes and non-ASCII letters")
        << QStringLiteral("<a href=\"c:\\x\">\u00E9\u00FC\u00DF</a>");
    // The widget's document would end a line at each of the first four.
    const QString breaks = QStringLiteral("<p>a\u2029b\u2028c</p>\uFDD0\uFDD1 \u204B");
    QTest::newRow("characters the widget takes as line breaks, and their stand-in")
        << breaks + QStringLiteral("\r\n") + breaks;
    QString large = NumberedLines(60000);
    for (qsizetype at = 100; at < large.size(); at += 100000) {
        large.insert(at, breaks);
    }
    QTest::newRow("the same in a large text, filled in behind") << large;
}

void TextBoxTest::charactersSurviveUnchanged() {
    QFETCH(QString, text);
    TextBox box;
    box.SetText(text);
    QCOMPARE(box.Text(), text);
    QVERIFY(Holds(box, text));
}

void TextBoxTest::holdsTextOnlyForExactlyTheSameText_data() {
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("holds");
    QTest::newRow("same lines") << QStringLiteral("a\r\nb") << QStringLiteral("a\r\nb") << true;
    QTest::newRow("set with LF, asked with CR LF")
        << QStringLiteral("a\nb") << QStringLiteral("a\r\nb") << true;
    QTest::newRow("asked with LF") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb") << false;
    QTest::newRow("asked with lone CR")
        << QStringLiteral("a\r\nb") << QStringLiteral("a\rb") << false;
    QTest::newRow("one character differs, same length")
        << QStringLiteral("<p>") << QStringLiteral("<b>") << false;
    QTest::newRow("break moved, same length")
        << QStringLiteral("ab\r\ncd") << QStringLiteral("a\r\nbcd") << false;
    QTest::newRow("extra break at the end")
        << QStringLiteral("a") << QStringLiteral("a\r\n") << false;
    QTest::newRow("break at the end missing")
        << QStringLiteral("a\r\n") << QStringLiteral("a") << false;
    QTest::newRow("blank instead of no-break space")
        << QStringLiteral("a\u00A0b") << QStringLiteral("a b") << false;
    QTest::newRow("letter case differs") << QStringLiteral("<P>") << QStringLiteral("<p>") << false;
    QTest::newRow("both empty") << QString() << QString() << true;
    QTest::newRow("empty box, some text") << QString() << QStringLiteral("x") << false;
    QTest::newRow("some text, asked empty") << QStringLiteral("x") << QString() << false;
}

void TextBoxTest::holdsTextOnlyForExactlyTheSameText() {
    QFETCH(QString, held);
    QFETCH(QString, asked);
    QFETCH(bool, holds);
    TextBox box;
    box.SetText(held);
    QCOMPARE(Holds(box, asked), holds);
}

void TextBoxTest::changeIsRaisedOncePerSetText_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("set");
    QTest::newRow("text into an empty box") << QString() << QStringLiteral("<p>");
    QTest::newRow("other text") << QStringLiteral("<p>") << QStringLiteral("<b>");
    QTest::newRow("empty over text") << QStringLiteral("<p>") << QString();
    QTest::newRow("several lines") << QString() << QStringLiteral("a\r\nb\r\nc");
    QTest::newRow("the same text again") << QStringLiteral("<p>") << QStringLiteral("<p>");
}

void TextBoxTest::changeIsRaisedOncePerSetText() {
    QFETCH(QString, before);
    QFETCH(QString, set);
    TextBox box;
    box.SetText(before);
    QSignalSpy changes(&box, &TextBox::Change);

    box.SetText(set);

    QCOMPARE(changes.count(), 1);
}

void TextBoxTest::changeIsRaisedForEveryKeystroke() {
    TextBox box;
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    box.setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), &box);
    QSignalSpy changes(&box, &TextBox::Change);

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("c"));
    QCOMPARE(changes.count(), 4);
    QCOMPARE(box.Text(), QStringLiteral("ab\r\nc"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(changes.count(), 5);
    QCOMPARE(box.Text(), QStringLiteral("ab\r\n"));
    QVERIFY(Holds(box, QStringLiteral("ab\r\n")));
}

void TextBoxTest::largeTextShowsAtOnceAndIsWholeWheneverRead() {
    TextBox box;
    const QString page = NumberedLines(60000);
    box.SetText(page);
    QVERIFY2(box.IsFilling(), "two megabytes are filled in behind");
    QVERIFY(box.document()->characterCount() < page.size() / 4);
    QVERIFY(!box.IsEmpty());
    QVERIFY(Holds(box, page));
    QVERIFY(!Holds(box, page + QStringLiteral("x")));
    QCOMPARE(box.Text(), page);
    QVERIFY(!box.IsFilling());
}

void TextBoxTest::largeTextFillsInWhileIdleAndUndoKeepsIt() {
    TextBox box;
    const QString page = NumberedLines(60000);
    box.SetText(page);
    QVERIFY(box.IsFilling());
    QTRY_VERIFY(!box.IsFilling());
    QCOMPARE(box.Text(), page);
    // Undo takes back what the user typed, never the filling.
    box.moveCursor(QTextCursor::Start);
    QTest::keyClicks(&box, QStringLiteral("<!-- mine -->"));
    QCOMPARE(box.Text(), QStringLiteral("<!-- mine -->") + page);
    box.undo();
    box.undo();
    QCOMPARE(box.Text(), page);
}

void TextBoxTest::newTextDuringAFillReplacesItWhole() {
    TextBox box;
    box.SetText(NumberedLines(60000));
    QVERIFY(box.IsFilling());
    box.SetText(QStringLiteral("short\r\n"));
    QVERIFY(!box.IsFilling());
    QTest::qWait(50);
    QCOMPARE(box.Text(), QStringLiteral("short\r\n"));
    box.SetText(NumberedLines(60000));
    box.SetText(QString());
    QVERIFY(box.IsEmpty());
    QTest::qWait(50);
    QCOMPARE(box.Text(), QString());
}

void TextBoxTest::everyInputFindsTheWholeText_data() {
    QTest::addColumn<Input>("input");
    QTest::newRow("keys: Ctrl+End and typing") << Input::Keys;
    QTest::newRow("clipboard shortcuts: Ctrl+A, Ctrl+C") << Input::ClipboardShortcuts;
    QTest::newRow("mouse: press, drag, release") << Input::MouseDrag;
    QTest::newRow("wheel") << Input::Wheel;
    QTest::newRow("scroll bar click") << Input::ScrollBar;
    QTest::newRow("context menu") << Input::ContextMenu;
    QTest::newRow("drop") << Input::Drop;
}

void TextBoxTest::everyInputFindsTheWholeText() {
    QFETCH(Input, input);
    TextBox box;
    box.resize(457, 169);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const int lines = 60000;
    const QString page = NumberedLines(lines);
    // Right after a large load: the rest of the page is still to come.
    box.SetText(page);
    QVERIFY(box.IsFilling());

    QWidget* viewport = box.viewport();
    const QPoint nearTop(20, 5);
    switch (input) {
    case Input::Keys:
        QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(&box, QStringLiteral("x"));
        break;
    case Input::ClipboardShortcuts:
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        break;
    case Input::MouseDrag:
        QTest::mousePress(viewport, Qt::LeftButton, {}, nearTop);
        QTest::mouseMove(viewport, QPoint(200, 100));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(200, 100));
        break;
    case Input::Wheel: {
        QWheelEvent wheel(QPointF(nearTop), viewport->mapToGlobal(QPointF(nearTop)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        break;
    }
    case Input::ScrollBar: {
        QScrollBar* bar = box.verticalScrollBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 30));
        break;
    }
    case Input::ContextMenu: {
        QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, nearTop,
                                      viewport->mapToGlobal(nearTop));
        QApplication::sendEvent(viewport, &menuRequest);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        menu->close();
        break;
    }
    case Input::Drop: {
        const QPoint lineStart(1, 5);
        QMimeData dropped;
        dropped.setText(QStringLiteral("<!-- dropped -->"));
        QDragEnterEvent enter(lineStart, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(lineStart), Qt::CopyAction, &dropped, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        break;
    }
    }
    // Whatever the input was, it found the whole page in the box.
    QVERIFY(!box.IsFilling());
    QVERIFY(box.document()->lineCount() >= lines);
    if (input == Input::Keys) {
        QCOMPARE(box.Text(), page + QStringLiteral("x"));
    } else if (input == Input::ClipboardShortcuts) {
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString(page).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else if (input == Input::Drop) {
        QCOMPARE(box.Text(), QStringLiteral("<!-- dropped -->") + page);
    }
}

void TextBoxTest::everyLineActsAsALineOfItsOwn() {
    // The box holds many lines to a block; the user sees and handles lines.
    const int lines = 20000;
    TextBox box;
    box.resize(400, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.SetText(NumberedLines(lines));
    QVERIFY(box.FinishFilling());
    box.resize(500, 200); // the widget counts every block as one line again
    QCOMPARE(box.document()->lineCount(), lines + 1);
    // The scroll bar reaches the last line, and the arrow keys go line by line.
    QScrollBar* bar = box.verticalScrollBar();
    bar->setValue(bar->maximum());
    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Up);
    QTextCursor cursor = box.textCursor();
    cursor.select(QTextCursor::LineUnderCursor);
    QCOMPARE(cursor.selectedText(), QStringLiteral("<p class=\"line\">line %1</p>").arg(lines - 1));
    // A third click selects the line clicked and its break.
    const QPoint point = box.cursorRect(box.textCursor()).center();
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, point);
    QTest::mousePress(box.viewport(), Qt::LeftButton, {}, point);
    const QString selected = box.textCursor().selectedText();
    QCOMPARE(selected.chopped(1), QStringLiteral("<p class=\"line\">line %1</p>").arg(lines - 1));
    QVERIFY(selected.back() == QChar::LineSeparator || selected.back() == QChar::ParagraphSeparator);
    // A drag from it up one line extends the selection by that whole line.
    QMouseEvent drag(QEvent::MouseMove, point - QPoint(0, box.fontMetrics().lineSpacing()),
                     box.viewport()->mapToGlobal(point), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(box.viewport(), &drag);
    QCOMPARE(box.textCursor().selectedText().chopped(1),
             QStringLiteral("<p class=\"line\">line %1</p>\u2028<p class=\"line\">line %2</p>")
                 .arg(lines - 2)
                 .arg(lines - 1));
    QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, point);
}

void TextBoxTest::longLineIsWrappedInTheViewOnly() {
    TextBox box;
    box.resize(457, 169);
    // A minified page: one line of a megabyte.
    QString line;
    while (line.size() < 1024 * 1024) {
        line += QStringLiteral("<div class=\"c\"><a href=\"/x.html\">x</a></div>");
    }
    box.SetText(line);
    QCOMPARE(box.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY2(!box.IsFilling(), "a line is never appended in parts");
    QCOMPARE(box.document()->blockCount(), 1);
    QCOMPARE(box.Text(), line);
    // An ordinary page scrolls sideways again.
    box.SetText(NumberedLines(10));
    QCOMPARE(box.lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(box.Text(), NumberedLines(10));
    // A minified page pasted in is wrapped as one loaded.
    box.SetText(QString());
    QGuiApplication::clipboard()->setText(line);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(box.Text(), line);
}

void TextBoxTest::pasteCopyAndClearKeepEveryCharacterAndUndo() {
    TextBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QString pasted = QStringLiteral("<p>first\u2029second</p>");
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.Text(), pasted);
    QVERIFY(box.IsEdited());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), pasted);

    box.Clear();
    QVERIFY(box.IsEmpty());
    box.undo();
    QCOMPARE(box.Text(), pasted);
    box.undo();
    QVERIFY(box.IsEmpty());
}

QTEST_MAIN(TextBoxTest)
#include "TextBoxTest.moc"
