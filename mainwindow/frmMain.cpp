// The main window: converts the HTML box into five scripts and shows them.
#include "frmMain.h"

#include "ApplicationTitle.h"
#include "AtomicTextFile.h"
#include "Clipboard.h"
#include "CommandButton.h"
#include "ComponentError.h"
#include "DragBar.h"
#include "EngineText.h"
#include "FileDialog.h"
#include "FileSystemObject.h"
#include "ScriptLanguage.h"
#include "ScriptReader.h"
#include "ScriptViews.h"
#include "TextBox.h"
#include "TitleBarButton.h"
#include "Toolbar.h"
#include "frmAbout.h"
#include "frmError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QShortcut>
#include <QTimer>

namespace quillomatic {
namespace {

// Every message is two sentences with one blank line between them.
QString TwoSentences(const QString& first, const QString& second) {
    return first + QStringLiteral("\r\n\r\n") + second;
}

QString DescriptionOf(const std::exception& error) {
    if (const auto* component = dynamic_cast<const ComponentError*>(&error)) {
        return QString::fromStdString(component->Description());
    }
    return QString::fromLocal8Bit(error.what());
}

const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");

// "a PHP script", "an ASP script".
QString ScriptOfLanguage(std::string_view name) {
    const bool vowel = !name.empty() && std::string_view("AEIOU").find(name[0]) != std::string_view::npos;
    return (vowel ? QStringLiteral("an ") : QStringLiteral("a ")) + EngineText::ToWindow(name) +
           QStringLiteral(" script");
}

} // namespace

frmMain::frmMain(QWidget* owner) : frmMainLayout(owner) {
    connect(cmdConvertNow, &CommandButton::clicked, this, &frmMain::cmdConvertNow_Click);
    connect(xtTab, &Toolbar::ButtonClick, this, &frmMain::xtTab_ButtonClick);
    connect(txtHTML, &TextBox::Change, this, &frmMain::txtHTML_Change);
    connect(cmdCopy, &CommandButton::clicked, this, &frmMain::cmdCopy_Click);
    connect(cmdReset, &CommandButton::clicked, this, &frmMain::cmdReset_Click);
    connect(cmdLoadFromFile, &CommandButton::clicked, this, &frmMain::cmdLoadFromFile_Click);
    connect(cmdSave, &CommandButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdMinimize, &TitleBarButton::clicked, this, &frmMain::cmdMinimize_Click);
    connect(cmdClose, &TitleBarButton::clicked, this, &frmMain::cmdClose_Click);
    connect(cmdAbout, &TitleBarButton::clicked, this, &frmMain::cmdAbout_Click);
    // A large text goes into its box in the background, where memory may run out.
    connect(txtHTML, &TextBox::FillFailed, this,
            [this] { ReportLackOfMemory(QStringLiteral("load this page")); });
    connect(txtScriptSource, &TextBox::FillFailed, this, [this] {
        ShowFormat(kHTMLButton);
        ReportLackOfMemory(QStringLiteral("show this script"));
    });
    // Keys for what the buttons do, as desktop programs have them.
    // Loading is done from the HTML page: Ctrl+O goes there first, so the
    // dialog offers pages, never the script of the view it was pressed in.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this,
            [this] {
                ShowFormat(kHTMLButton);
                LoadPage({});
            });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, this,
            [this] {
                if (fra[1]->isVisible()) {
                    cmdSave_Click();
                }
            });
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &frmMain::cmdAbout_Click);
}

void frmMain::Form_Load() {
    m_frmError = new frmError(this);
    tdbTitle->SetCaption(AppTitle());
    ShowFormat(kHTMLButton);
    CenterOnScreen();
    show();
    // Ready for a paste, as the label above it asks.
    txtHTML->setFocus();
}

void frmMain::OpenPage(const QString& path) {
    // The dialogs then start in its folder, and a save proposes its name.
    cdg->SetFileName(path);
    LoadPage(path);
}

void frmMain::SetStagingFolder(const QString& folder) {
    m_Model.SetStagingFolder(EngineText::Path(folder));
}

void frmMain::RunConversion() {
    m_Model.Run(txtHTML->Text());
    cmdConvertNow->SetDisabled(true);
}

bool frmMain::RunConversionOrReport() {
    // A page still filling in is complete first; if memory runs out for it,
    // the load has failed and says so.
    if (!txtHTML->FinishFilling() || !MayDropScriptEdits()) {
        return false;
    }
    try {
        RunConversion();
        return true;
    } catch (const std::bad_alloc&) {
        ReportLackOfMemory(QStringLiteral("convert this HTML"));
        return false;
    } catch (const std::exception& error) {
        ShowMessage(TwoSentences(QStringLiteral("Your HTML could not be converted."),
                                 DescriptionOf(error)));
        return false;
    }
}

void frmMain::ShowFormat(qint16 button) {
    KeepScriptEdits();
    if (button == kHTMLButton) {
        fra[0]->show();
        fra[1]->hide();
        cdg->SetFilter(kHTMLFilter);
        cdg->SetDefaultExt({});
        xtTab->SetSelectedButton(kHTMLButton);
        return;
    }
    const std::optional<std::size_t> shown = RowOfButton(button);
    if (!shown) {
        return;
    }
    if (txtHTML->IsEmpty()) {
        ShowMessage(TwoSentences(QStringLiteral("You haven't entered any HTML to convert yet."),
                                 QStringLiteral("Please enter some HTML to convert.")));
        return;
    }
    if (m_Model.HTMLChanged() && !RunConversionOrReport()) {
        return;
    }
    const std::size_t row = *shown;
    const ScriptView& view = kScriptViews[row];
    // The script goes into its box before the page changes, so that a
    // script too large for memory leaves the view as it was.
    try {
        txtScriptSource->SetText(m_Model.ScriptToShow(row));
    } catch (const std::bad_alloc&) {
        ReportLackOfMemory(QStringLiteral("show this script"));
        return;
    } catch (const std::exception& error) {
        // Its staging file was tampered with: the next run makes it again.
        m_Model.SetHTMLChanged(true);
        cmdConvertNow->SetDisabled(false);
        ShowMessage(TwoSentences(QStringLiteral("The script could not be shown."),
                                 DescriptionOf(error)));
        return;
    }
    m_Model.SetShownRow(row);
    fra[0]->hide();
    fra[1]->show();
    lblScriptName->setText(EngineText::ToWindow(view.Caption));
    cdg->SetFilter(EngineText::ToWindow(view.Filter));
    cdg->SetDefaultExt(EngineText::ToWindow(view.Format->Extension));
    xtTab->SetSelectedButton(ButtonOfRow(row));
}

void frmMain::KeepScriptEdits() {
    if (!m_Model.ShownRow() || !txtScriptSource->IsEdited()) {
        return;
    }
    try {
        m_Model.KeepEdit(txtScriptSource->Text());
    } catch (const std::bad_alloc&) {
        ReportLackOfMemory(QStringLiteral("keep your changes to this script"));
    }
}

bool frmMain::MayDropScriptEdits() {
    KeepScriptEdits();
    const QString edited = m_Model.EditedScripts();
    return edited.isEmpty() ||
           ShowMessage(TwoSentences(QStringLiteral("Your changes to ") + edited +
                                        QStringLiteral(" will be lost."),
                                    QStringLiteral("Do you want to go on?")),
                       kYes, kNo) == 1;
}

void frmMain::ReportLackOfMemory(const QString& toDoWhat) {
    ShowMessage(
        TwoSentences(QStringLiteral("There is not enough memory to ") + toDoWhat + QLatin1Char('.'),
                     QStringLiteral("Close other programs and try again: your HTML is "
                                    "kept as it was.")));
}

qint16 frmMain::ShowMessage(const QString& Text, const QString& ButtonCaption1,
                            const QString& ButtonCaption2, const QString& Title) {
    QString text = Text;
    QString caption1 = ButtonCaption1;
    QString caption2 = ButtonCaption2;
    QString title = Title;
    m_frmError->cMsgBox(text, caption1, caption2, title);
    return m_frmError->MsgBoxResult();
}

void frmMain::cmdConvertNow_Click() {
    if (!RunConversionOrReport()) {
        return;
    }
    ShowMessage(
        TwoSentences(QStringLiteral("Your HTML has succesfully been converted."),
                     QStringLiteral("Select a format from the toolbar to view the results.")));
}

void frmMain::xtTab_ButtonClick(qint16 Index, const QString& /*Key*/) {
    ShowFormat(Index);
}

void frmMain::txtHTML_Change() {
    if (txtHTML->IsEmpty()) {
        m_Model.SetLoadedEncoding(TextEncoding::UTF8);
        cmdConvertNow->SetDisabled(true);
        return;
    }
    try {
        m_Model.SetHTMLChanged(!txtHTML->HoldsText(m_Model.ConvertedHTML(),
                                                    m_Model.ConvertedCharacters()));
    } catch (const std::bad_alloc&) {
        m_Model.SetHTMLChanged(true); // the comparison did not fit: a run decides
    }
    cmdConvertNow->SetDisabled(!m_Model.HTMLChanged());
}

void frmMain::cmdCopy_Click() {
    try {
        Clipboard::SetText(txtScriptSource->Text());
    } catch (const std::bad_alloc&) {
        ReportLackOfMemory(QStringLiteral("copy this script"));
    }
}

void frmMain::cmdReset_Click() {
    if (!MayDropScriptEdits()) {
        return;
    }
    // Undone by Ctrl+Z in the HTML box, like any edit.
    txtHTML->Clear();
    m_Model.DropEdits();
    ShowFormat(kHTMLButton);
}

void frmMain::cmdLoadFromFile_Click() {
    LoadPage({});
}

bool frmMain::LoadPage(QString chosen) {
    try {
        FileSystemObject fileSystem;
        for (;;) {
            if (chosen.isEmpty()) {
                ShowOpenForPages();
                chosen = cdg->FileName();
            }
            if (!fileSystem.NothingAt(EngineText::Path(chosen))) {
                break;
            }
            if (ShowMessage(TwoSentences(QStringLiteral("Sorry, that file doesn't exist."),
                                         QStringLiteral("Do you want to select another file?")),
                            kYes, kNo) != 1) {
                return false;
            }
            chosen.clear();
        }
        // Opened first, so that a folder or a socket is named as what it is
        // before the user is asked to give up the HTML for it.
        TextStream file = fileSystem.OpenRegularTextFile(EngineText::Path(chosen));
        // A script may be loaded as the HTML it prints.
        const ScriptLanguage* language = LanguageOfPath(EngineText::Path(chosen));
        const bool readBack =
            language != nullptr &&
            ShowMessage(TwoSentences(QStringLiteral("This file is ") +
                                         ScriptOfLanguage(language->Format->Name) +
                                         QLatin1Char('.'),
                                     QStringLiteral("Do you want to load the HTML it prints "
                                                    "instead of the script?")),
                        kYes, kNo) == 1;
        if (!txtHTML->IsEmpty() &&
            ShowMessage(TwoSentences(QStringLiteral("Loading HTML from a file will erase the "
                                                    "current HTML you have entered."),
                                     QStringLiteral("Do you want to continue?")),
                        kYes, kNo) == 2) {
            return false;
        }
        TextEncoding readAs = TextEncoding::UTF8;
        QString html;
        std::size_t reported = 0;
        if (readBack) {
            ScriptReader::RecoveredPage page = ScriptReader::ReadFile(*language, file);
            // Read as a page file of those bytes would be.
            readAs = EncodingOf(page.Html);
            html = EngineText::ToWindow(TextOf(std::move(page.Html), readAs));
            reported = page.Report.Size();
        } else {
            html = EngineText::ToWindow(file.ReadAll(&readAs));
        }
        file.Close();
        txtHTML->SetText(std::move(html));
        m_Model.SetLoadedEncoding(readAs);
        m_Model.SetLastPage(chosen);
        if (reported > 0) {
            ShowMessage(TwoSentences(
                reported == 1
                    ? QStringLiteral("1 part of the script was left out or stands as {{\u2026}}.")
                    : QString::number(reported) +
                          QStringLiteral(" parts of the script were left out or stand as "
                                         "{{\u2026}}."),
                QStringLiteral("quillomatic-convert --to html lists each of them with its line.")));
        }
        return true;
    } catch (const FileDialog::Cancelled&) {
        // A cancelled dialog ends the command without a word.
    } catch (const std::bad_alloc&) {
        ReportLackOfMemory(QStringLiteral("load this page"));
    } catch (const std::exception& error) {
        ShowMessage(TwoSentences(QStringLiteral("The HTML could not be loaded from the file."),
                                 DescriptionOf(error)));
    }
    return false;
}

void frmMain::ShowOpenForPages() {
    // The dialog's last choice may be a script just saved, which loaded would
    // put generated code in place of the page: it offers the last page, or
    // the folder of its last choice when no page has been loaded yet.
    const QString lastChoice = cdg->FileName();
    cdg->SetFileName(!m_Model.LastPage().isEmpty() || lastChoice.isEmpty()
                         ? m_Model.LastPage()
                         : QFileInfo(lastChoice).absolutePath() + QLatin1Char('/'));
    try {
        cdg->ShowOpen();
    } catch (const FileDialog::Cancelled&) {
        cdg->SetFileName(lastChoice);
        throw;
    }
}

void frmMain::cmdSave_Click() {
    try {
        cdg->ShowSave();
        if (FileSystemObject().FileExists(EngineText::Path(cdg->FileName())) &&
            ShowMessage(TwoSentences(QStringLiteral("The file you selected already exists."),
                                     QStringLiteral("Do you want to overwrite the file?")),
                        kYes, kNo) == 2) {
            return;
        }
        std::string script = EngineText::FromWindow(txtScriptSource->Text());
        const TextEncoding encoding = m_Model.SavedEncoding(
            m_Model.SavingLosesCharacters(script) &&
            ShowMessage(TwoSentences(QStringLiteral("The script holds characters that "
                                                    "Windows-1252 cannot store."),
                                     QStringLiteral("Do you want to save it as UTF-8 instead?")),
                        kYes, kNo) == 1);
        // The old file is replaced only once the new one is wholly written.
        AtomicTextFile file(EngineText::Path(cdg->FileName()), AtomicTextFile::Waiting::Refused);
        file.Write(WindowModel::Labelled(std::move(script), encoding), encoding);
        file.Commit();
    } catch (const FileDialog::Cancelled&) {
        return; // without a word, as a cancelled load
    } catch (const std::bad_alloc&) {
        ReportLackOfMemory(QStringLiteral("save this script"));
        return;
    } catch (const std::exception& error) {
        ShowMessage(
            TwoSentences(QStringLiteral("The script source could not be written to the file."),
                         DescriptionOf(error)));
        return;
    }
    ShowMessage(
        TwoSentences(QStringLiteral("The script source has been succesfully written to a file."),
                     QStringLiteral("Open the file to view it.")));
}

void frmMain::cmdMinimize_Click() {
    Minimize();
}

void frmMain::cmdClose_Click() {
    close();
}

void frmMain::cmdAbout_Click() {
    try {
        frmAbout about(this);
        about.Form_Load();
    } catch (...) {
        // Nothing the about box does matters to the rest of the program.
    }
}

void frmMain::Form_Unload(qint16& Cancel) {
    const qint16 answer = ShowMessage(
        TwoSentences(
            QStringLiteral("Quillomatic will now quit."),
            QStringLiteral("Are you sure you that want to quit Quillomatic at this time?")),
        kYes, kNo);
    if (answer == 2) {
        Cancel = 1;
        return;
    }
    // Nothing of the program outlives the main window, not even the hidden
    // message box.
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

} // namespace quillomatic
