// The main window: converts the HTML box into five scripts and shows them.
//
// The window keeps the five results of the last conversion run and the HTML
// they came from. Convert (or a script view chosen while the HTML has changed)
// runs a fresh Converter over the HTML box; the toolbar picks which of six
// views shows: the HTML page or one of the five scripts. Every question and
// notice goes through ShowMessage, that is through the one frmError. The
// program makes the window in the folder it was started from, where the file
// dialogs first open, then moves into its StagingFolder, where the Converter
// leaves its staging files until the window closes (StagingFiles).
#pragma once

#include "ScriptViews.h"
#include "StagingFiles.h"
#include "TextEncoding.h"
#include "frmMainLayout.h"

#include <array>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

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

protected:
    // Asks before the window closes, whatever asked it to.
    void Form_Unload(qint16& Cancel) override;

private:
    // Converts the HTML box into all five formats; a failure reaches the caller.
    void RunConversion();
    // RunConversion, telling the user when it fails; false then.
    bool RunConversionOrReport();
    void ShowFormat(qint16 Index);
    // The load command for `chosen`, or for a file picked in the open dialog
    // when `chosen` is empty; true when the HTML box got the page.
    bool LoadPage(QString chosen);
    // The open dialog, offering the last page loaded.
    void ShowOpenForPages();
    // What the user typed in the script box, kept for its format while
    // another view shows; dropped by a new run and by Reset.
    void KeepScriptEdits();
    void DropScriptEdits();
    // Whether what the user typed in script views may go: true when there is
    // nothing, or when the user, asked, says so.
    bool MayDropScriptEdits();
    // How the script box's text is saved: as the page came in, unless the
    // user prefers UTF-8 to losing characters Windows-1252 lacks.
    TextEncoding SavedEncoding(std::string_view script);
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
    StagingFiles m_StagingFiles;

    bool HTMLChanged = false;
    QString ConvertedHTML;
    // How the page in the HTML box was read, until the box is emptied or
    // another page is loaded: its scripts are saved the same way.
    TextEncoding LoadedEncoding = TextEncoding::UTF8;
    // The page last loaded, which the open dialog offers again.
    QString LastPage;
    // The result of each row of kScriptViews (ASPSource, JavaScriptSource,
    // PHPSource, JSPSource, PerlSource), kept in the engine's compact form
    // until one is shown.
    std::array<std::string, kScriptViews.size()> Sources;
    // The user's edits of each format's script, where there are any.
    std::array<std::optional<QString>, kScriptViews.size()> EditedSources;
    // The row of kScriptViews whose script the script box holds.
    std::optional<std::size_t> ShownScript;
};

} // namespace quillomatic
