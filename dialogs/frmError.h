// The program's message box: every question and notice goes through it.
//
// One frmError lives as long as the main window. cMsgBox puts a prompt, two
// button captions and a title on it, beeps, shows it modally and returns once
// a button was pressed; MsgBoxResult then tells which (1 or 2). Between
// questions the box is only hidden, so it reappears where the user left it.
// The box and its label never grow; a prompt with a path too long for the
// label shows the path without the start of its folder, keeping the folder's
// end and the file name (PromptFit).
#pragma once

#include "Form.h"

class QLabel;
class QPushButton;

namespace quillomatic {

class DragBar;
class Picture;
class Shape;

class frmError : public Form {
    Q_OBJECT

public:
    explicit frmError(QWidget* owner);

    // Empty captions are replaced, in the caller's variables too, by "OK" and
    // "Cancel"; an empty title shows the application title.
    void cMsgBox(QString& Text, QString& ButtonCaption1, QString& ButtonCaption2, QString& Title);
    // 1 or 2 for the button pressed last, 0 before the first answer. Never cleared.
    [[nodiscard]] qint16 MsgBoxResult() const { return ButtonResult; }

protected:
    // Neither the window manager's close nor Escape answers the box.
    void Form_Unload(qint16& Cancel) override;
    bool event(QEvent* event) override;

private:
    void cmd1_Click();
    void cmd2_Click();

    DragBar* tdbTitle;
    Shape* Shape1;
    Picture* Image1;
    QLabel* Label1;
    QPushButton* cmd1;
    QPushButton* cmd2;

    qint16 ButtonResult = 0;
    bool m_ShownBefore = false;
    bool m_FocusFirstButtonOnActivation = false;
};

} // namespace quillomatic
