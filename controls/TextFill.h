// The fill of a text box: the rest of a large text appended while the window is idle.
#pragma once

#include "BlockBreaks.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTextCursor>
#include <QTimer>
#include <deque>

class QPlainTextEdit;

namespace quillomatic {

// The box shows a large text's first slice at once, and the fill appends the
// rest a slice at a time while the window is idle, whole lines each, after
// what came before wherever the user's edits meanwhile moved that. The slices
// are not edits the user could undo, and the pointer shows busy over the box
// until the fill ends. Memory running out for a slice abandons the fill:
// RanOut() hands back the text the box held before, for the box to show again.
class TextFill : public QObject {
    Q_OBJECT

public:
    explicit TextFill(QPlainTextEdit& box);

    // Where the first slice of `text` (LF line breaks) ends: at its end when
    // the box can take it whole at once.
    [[nodiscard]] static qsizetype FirstSliceEnd(const QString& text);
    // Puts in the box `text` up to `first` and starts filling in the rest;
    // `text` has its block breaks replaced by `standIns`, and `before` is
    // what the box held (CR LF line breaks).
    void Start(QString text, qsizetype first, QList<BlockBreaks::StandIn> standIns, QString before);
    [[nodiscard]] bool IsFilling() const { return !m_Slices.empty(); }
    // How many characters are still to come.
    [[nodiscard]] qsizetype ToCome() const;
    // Appends what is still to come now; false when memory ran out for it.
    bool Finish();
    // Ends the fill where it stands.
    void Stop();

signals:
    // The last slice went in while the window was idle.
    void Finished();
    // Memory ran out for a slice: the fill is abandoned, and the box is to
    // hold `before` again. Raised before Finish() returns false.
    void RanOut(const QString& before);

private:
    // Appends the next slice of the text still to come; true while more is left.
    bool AppendSlice();
    // Marks the stand-ins from m_From up to `end`, which has just been put in
    // before the fill point.
    void MarkStandInsUpTo(qsizetype end);
    // The whole text is in: the box holds it unedited.
    void End();
    void Abandon();

    QPlainTextEdit& m_Box;
    // The text still to come, in slices, each freed once it is in; where in
    // the text the next one starts; and where it goes: after what came
    // before, wherever the user's edits meanwhile moved that.
    std::deque<QString> m_Slices;
    qsizetype m_From = 0;
    QList<BlockBreaks::StandIn> m_StandIns; // those still to come
    QTextCursor m_Point;
    QTimer m_Timer;
    // What the box held before, for a fill that runs out of memory.
    QString m_Before;
};

} // namespace quillomatic
