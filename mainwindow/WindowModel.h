// The main window's state and its rules, kept apart from its widgets.
#pragma once

#include "ScriptFile.h"
#include "ScriptViews.h"
#include "StagingFiles.h"
#include "TextEncoding.h"

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillomatic {

// What the window knows beyond what its boxes show, and every rule about it:
// a run converts the HTML into each format of kScriptViews, in the run's
// order, and keeps each script once, in the engine's form (UTF-8 bytes), in a
// staging file (ScriptFile) rather than in memory, the engine keeping no
// copy; the user's edits of a script are kept per format until the next run
// or a Reset; a page keeps the encoding it came in, which its scripts are
// saved in and which a JSP script's directive names. frmMain shows the model
// and feeds it what the user does.
class WindowModel {
public:
    // Conversions stage in `stagingFolder`, or in the current folder when it
    // is empty; their staging files go with the model (see StagingFiles).
    explicit WindowModel(std::string stagingFolder = {});

    void SetStagingFolder(std::string folder) { m_StagingFolder = std::move(folder); }

    // Converts `html` into every format. A failure reaches the caller, with
    // the scripts of the formats done before it kept and the rest as they
    // were; the run then counts as not made.
    void Run(QString html);
    // The HTML of the last run, as the engine took it (UTF-8, CR LF line
    // breaks), and its length in the box, each CR LF counted as one character.
    [[nodiscard]] const std::string& ConvertedHTML() const noexcept { return m_ConvertedHTML; }
    [[nodiscard]] qsizetype ConvertedCharacters() const noexcept { return m_ConvertedCharacters; }
    // Whether the HTML box holds text that no run has converted.
    [[nodiscard]] bool HTMLChanged() const noexcept { return m_HTMLChanged; }
    void SetHTMLChanged(bool changed) noexcept { m_HTMLChanged = changed; }

    // The script of `row` as its view shows it: the user's edit, or the
    // run's script with the directive of the encoding it is saved in (its
    // line breaks CR LF either way, as the script box takes and gives them).
    [[nodiscard]] QString ScriptToShow(std::size_t row);
    // The row whose script the script box holds, if any.
    [[nodiscard]] std::optional<std::size_t> ShownRow() const noexcept { return m_ShownRow; }
    void SetShownRow(std::size_t row) noexcept { m_ShownRow = row; }
    // What the user made of the shown script, kept while other views show.
    void KeepEdit(QString script);
    // "the PHP and Perl scripts": the edits a run or a Reset would drop;
    // empty when there are none.
    [[nodiscard]] QString EditedScripts() const;
    void DropEdits();

    // How the page in the HTML box came in, until the box is emptied or
    // another page is loaded.
    [[nodiscard]] TextEncoding LoadedEncoding() const noexcept { return m_LoadedEncoding; }
    void SetLoadedEncoding(TextEncoding encoding) noexcept { m_LoadedEncoding = encoding; }
    // Whether saving `script` as the page came in would lose characters:
    // the user is asked whether UTF-8 should be used instead.
    [[nodiscard]] bool SavingLosesCharacters(std::string_view script) const;
    // The encoding a save uses: the page's, or UTF-8 where the user prefers it.
    [[nodiscard]] TextEncoding SavedEncoding(bool utf8Preferred) const noexcept {
        return utf8Preferred ? TextEncoding::UTF8 : m_LoadedEncoding;
    }
    // `script` with the directive that names `encoding`, where its format has one.
    [[nodiscard]] static std::string Labelled(std::string script, TextEncoding encoding);

    // The page last loaded, which the open dialog offers again.
    [[nodiscard]] const QString& LastPage() const noexcept { return m_LastPage; }
    void SetLastPage(QString page) { m_LastPage = std::move(page); }

private:
    std::string m_StagingFolder;
    StagingFiles m_Staging;
    std::string m_ConvertedHTML;
    qsizetype m_ConvertedCharacters = 0;
    bool m_HTMLChanged = false;
    std::array<std::optional<ScriptFile>, kScriptViews.size()> m_Scripts;
    std::array<std::optional<QString>, kScriptViews.size()> m_Edits;
    std::optional<std::size_t> m_ShownRow;
    TextEncoding m_LoadedEncoding = TextEncoding::UTF8;
    QString m_LastPage;
};

} // namespace quillomatic
