// A multi-line text box whose text uses CR LF line breaks, the program's convention.
#pragma once

#include "TextFill.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPoint>
#include <optional>
#include <string_view>
#include <utility>

namespace quillomatic {

// Both scroll bars, no word wrap. Text() gives every line break as CR LF,
// whatever the widget holds inside; SetText() takes CR LF, LF or a lone CR
// alike. Every other character comes back as it was set, pasted or dropped,
// those the widget would take as line breaks too (see BlockBreaks). Raises
// Change() after every change of the text, by the user or the program.
//
// A text with a line longer than 16 K characters (a minified page), set,
// pasted or dropped, is wrapped at the box's width instead, in the view only:
// the text keeps its lines. The widget lays out each line whole, and a long
// line unwrapped takes it twice as long.
//
// A large text is shown at once and filled in behind: SetText() puts its
// first lines in the box and appends the rest, whole lines at a time, while
// the window is idle (TextFill), since the widget takes about half a second
// per ten megabytes to take a text in. The pointer shows busy over the box
// meanwhile. Nothing sees part of the text: Text(), HoldsText() and a new
// SetText() finish the fill first, and so does any input the user gives the
// box (keys, clicks, the wheel, the scroll bars, the context menu, drops).
// The fill is not an edit the user could undo.
//
// Memory may run out on a large text. SetText() then raises std::bad_alloc
// with the box as it was; a fill that runs out is abandoned, the box gets
// back the text it held before that SetText(), and FillFailed() is raised
// once the program is back in its event loop.
class TextBox : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    [[nodiscard]] QString Text();
    void SetText(QString sNewValue);
    // Empties the box as an edit the user can undo.
    void Clear();
    [[nodiscard]] bool IsEmpty() const;
    // Whether the user changed the text since it was set.
    [[nodiscard]] bool IsEdited() const;
    // Whether Text() would equal `text` (UTF-8, CR LF line breaks), which
    // counts `characters` characters with each CR LF as one: the check a
    // keystroke can afford on a large page. It builds no copy of the box's
    // text, and stops at the first difference, or at once when the counts
    // already differ.
    [[nodiscard]] bool HoldsText(std::string_view text, qsizetype characters);
    // Whether part of the last SetText() is still to be appended.
    [[nodiscard]] bool IsFilling() const { return m_Fill.IsFilling(); }
    // Appends what is still to come now; false when memory ran out for it
    // (see FillFailed).
    bool FinishFilling() { return m_Fill.Finish(); }

signals:
    void Change();
    void FillFailed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A paste or drop that brings a long line wraps the box, as SetText does.
    void insertFromMimeData(const QMimeData* source) override;
    // A copy gives back the characters the stand-ins stand for.
    [[nodiscard]] QMimeData* createMimeDataFromSelection() const override;
    // A new width has the widget lay the whole text out afresh, and count
    // each block as one line: the lines of a block are counted again.
    void resizeEvent(QResizeEvent* event) override;
    // A third click selects the line clicked, not its whole block of lines,
    // and a drag from it extends the selection a line at a time.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Puts `text` (LF line breaks) in the box: at once, or its first slice
    // and the rest filled in behind; `before` is what the box held.
    void Show(QString text, const QString& before);
    // Readies `text` (LF line breaks) for the box, in place: the characters
    // the widget would take as line breaks stood in for, its lines joined
    // into groups (LineGroups), and the box wrapped for it or not; where the
    // stand-ins are.
    [[nodiscard]] QList<BlockBreaks::StandIn> Prepare(QString& text);
    // Puts the whole of `text`, readied by Prepare, in the box at once.
    void PutWhole(const QString& text, const QList<BlockBreaks::StandIn>& standIns);
    // Wraps the box for a text with a long line, or not.
    void SetWrapFor(const QString& text);
    // Back to `text` (CR LF line breaks), memory having run out for another.
    void Restore(const QString& text);

    TextFill m_Fill;
    // When and where the last double click was, for telling a third click.
    QElapsedTimer m_SinceDoubleClick;
    QPoint m_DoubleClickAt;
    // The line a third click selected, while the button is held: where it
    // starts, and where it ends after its line break.
    std::optional<std::pair<int, int>> m_ClickedLine;
};

} // namespace quillomatic
