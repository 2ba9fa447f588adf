// The main window: converts the HTML box into five scripts and shows them.
//
// What the window knows beyond its boxes (the scripts of the last run, the
// HTML they came from, the user's edits, how the page came in) is its
// WindowModel, with the rules about it; the window shows the model and feeds
// it. Convert (or a script view chosen while the HTML has changed) runs the
// model's conversion over the HTML box; the toolbar picks which of six views
// shows: the HTML page or one of the five scripts. Every question and notice
// goes through ShowMessage, that is through the one frmError. Conversions
// stage in the folder the program gives the window (see StagingFolder),
// their files kept until the window closes (StagingFiles).
#pragma once

#include "ScriptViews.h"
#include "WindowModel.h"
#include "frmMainLayout.h"

#include <exception>

namespace quillomatic {

class frmError;

class frmMain : public frmMainLayout {
    Q_OBJECT

public:
    explicit frmMain(QWidget* owner = nullptr);

    // Loads the message box, sets the title, selects the HTML view and shows
    // the window.
    void Form_Load();
    // Loads the page at `path` as Load HTML from a file loads a page the user
    // picked (the page named when the program is started).
    void OpenPage(const QString& path);
    // Where conversions stage their text; the current folder when empty.
    void SetStagingFolder(const QString& folder);

protected:
    // Asks before the window closes, whatever asked it to.
    void Form_Unload(qint16& Cancel) override;

private:
    // Converts the HTML box into all five formats; a failure reaches the caller.
    void RunConversion();
    // RunConversion, telling the user when it fails; false then.
    bool RunConversionOrReport();
    // Shows the view of the toolbar's `button`: the HTML page or a script.
    void ShowFormat(qint16 button);
    // The load command for `chosen`, or for a file picked in the open dialog
    // when `chosen` is empty; true when the HTML box got the page.
    bool LoadPage(QString chosen);
    // The open dialog, offering the last page loaded.
    void ShowOpenForPages();
    // What the user typed in the script box, kept for its format while
    // another view shows; dropped by a new run and by Reset.
    void KeepScriptEdits();
    // Whether what the user typed in script views may go: true when there is
    // nothing, or when the user, asked, says so.
    bool MayDropScriptEdits();
    // "There is not enough memory to TODOWHAT." and that nothing was lost.
    void ReportLackOfMemory(const QString& toDoWhat);
    qint16 ShowMessage(const QString& Text, const QString& ButtonCaption1 = {},
                       const QString& ButtonCaption2 = {}, const QString& Title = {});

    void cmdConvertNow_Click();
    void xtTab_ButtonClick(qint16 Index, const QString& Key);
    void txtHTML_Change();
    void cmdCopy_Click();
    void cmdReset_Click();
    void cmdLoadFromFile_Click();
    void cmdSave_Click();
    void cmdMinimize_Click();
    void cmdClose_Click();
    void cmdAbout_Click();

    frmError* m_frmError = nullptr;
    WindowModel m_Model;
};

} // namespace quillomatic
