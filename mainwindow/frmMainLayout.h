// The controls of the main window, placed as the window shows them at start.
#pragma once

#include "Form.h"

#include <array>

class QLabel;

namespace quillomatic {

class CommandButton;
class DragBar;
class FileDialog;
class Shape;
class TextBox;
class TitleBarButton;
class Toolbar;

// A borderless 478 by 326 window: the drawn title bar with its three buttons,
// the format toolbar, a separator line, and two pages on top of each other:
// fra[0] with the HTML box and fra[1] with the script box. The layout is
// applied when the window is created; nothing moves a control afterwards.
class frmMainLayout : public Form {
    Q_OBJECT

public:
    // The file dialog filter of the HTML page.
    static const QString kHTMLFilter;

protected:
    explicit frmMainLayout(QWidget* owner = nullptr);

    TitleBarButton* cmdAbout;
    FileDialog* cdg;
    Toolbar* xtTab;
    TitleBarButton* cmdClose;
    TitleBarButton* cmdMinimize;
    DragBar* tdbTitle;
    std::array<QWidget*, 2> fra{};
    CommandButton* cmdLoadFromFile;
    CommandButton* cmdConvertNow;
    TextBox* txtHTML;
    QLabel* Label1;
    TextBox* txtScriptSource;
    CommandButton* cmdCopy;
    CommandButton* cmdSave;
    CommandButton* cmdReset;
    QLabel* lblScriptName;
    Shape* Line1;
};

} // namespace quillomatic
