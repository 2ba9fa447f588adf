// The main window at work, driven the way a user drives it: typing, pasting,
// clicking the real buttons and toolbar, answering the real message box and
// picking files in the real file dialog.
#include "frmMain.h"

#include "CommandButton.h"
#include "DragBar.h"
#include "FileDialog.h"
#include "ModalAnswers.h"
#include "ScriptViews.h"
#include "TextEncoding.h"
#include "TextBox.h"
#include "TitleBarButton.h"
#include "Toolbar.h"
#include "ToolbarButton.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/acl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using quillomatic::CommandButton;
using quillomatic::DragBar;
using quillomatic::FileDialog;
using quillomatic::frmMain;
using quillomatic::TextBox;
using quillomatic::TitleBarButton;
using quillomatic::Toolbar;
using quillomatic::ToolbarButton;
using quillomatic::testing::ModalAnswers;

namespace {

const QString kConverted = QStringLiteral(
    "Your HTML has succesfully been converted.\n\nSelect a format from the toolbar to view the "
    "results.");
const QString kNothingToConvert = QStringLiteral(
    "You haven't entered any HTML to convert yet.\n\nPlease enter some HTML to convert.");
const QString kQuit = QStringLiteral(
    "Quillomatic will now quit.\n\nAre you sure you that want to quit Quillomatic at this time?");
const QString kNotFound =
    QStringLiteral("Sorry, that file doesn't exist.\n\nDo you want to select another file?");
const QString kErase = QStringLiteral("Loading HTML from a file will erase the current HTML you "
                                      "have entered.\n\nDo you want to continue?");
const QString kOverwrite =
    QStringLiteral("The file you selected already exists.\n\nDo you want to overwrite the file?");
const QString kSaved = QStringLiteral(
    "The script source has been succesfully written to a file.\n\nOpen the file to view it.");
const QString kHTMLFilter = QStringLiteral(
    "HTML Files (*.HTM; *.HTML)|* .HTM, *.HTML|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Types `text` key by key; characters without a key of their own arrive as a
// keyboard layout or input method would deliver them.
void TypeInto(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(c));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// What quillomatic-convert writes for the page file in `format`.
QByteArray CompanionScript(const char* format, const QString& page) {
    QProcess companion;
    companion.start(QStringLiteral(QUILLOMATIC_CONVERT),
                    {QStringLiteral("--to"), QString::fromLatin1(format), page});
    companion.waitForFinished();
    return companion.readAllStandardOutput();
}

QString FromEngine(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The script of `lines` in the format of view `position`, none of the lines
// holding anything the format escapes, for saving as UTF-8.
QString PlainScript(int position, const QStringList& lines) {
    const auto& format = *quillomatic::kScriptViews[static_cast<std::size_t>(position - 2)].Format;
    QString script = FromEngine(format.Header);
    bool ascii = true;
    for (const QString& line : lines) {
        script +=
            FromEngine(format.Opener) + line + FromEngine(format.Closer) + QStringLiteral("\r\n");
        ascii = ascii &&
                std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x80; });
    }
    script += FromEngine(format.Footer);
    return ascii ? script : script + FromEngine(format.LabelFor(quillomatic::TextEncoding::UTF8));
}

// What php prints when it runs the script `path`.
QByteArray PhpOutput(const QString& path) {
    QProcess php;
    php.start(QStringLiteral("php"), {QStringLiteral("-n"), path});
    php.waitForFinished();
    return php.readAllStandardOutput();
}

// One main window, started as the program starts it, and its controls.
struct Window {
    Window() {
        form.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    template <typename T> T* Find(const char* name) {
        T* child = form.findChild<T*>(QString::fromLatin1(name));
        if (!child) {
            qFatal("no control %s", name);
        }
        return child;
    }
    TextBox* txtHTML() { return Find<TextBox>("txtHTML"); }
    TextBox* txtScriptSource() { return Find<TextBox>("txtScriptSource"); }
    CommandButton* cmdConvertNow() { return Find<CommandButton>("cmdConvertNow"); }
    QLabel* lblScriptName() { return Find<QLabel>("lblScriptName"); }
    QWidget* htmlPage() { return Find<QWidget>("fra0"); }
    QWidget* scriptPage() { return Find<QWidget>("fra1"); }
    FileDialog* cdg() { return Find<FileDialog>("cdg"); }
    QWidget* MessageBox() { return Find<QWidget>("frmError"); }

    // The positions of the toolbar buttons shown as selected.
    QList<int> Highlighted() {
        auto* toolbar = Find<Toolbar>("xtTab");
        QList<int> positions;
        for (qint16 position = 1; position <= toolbar->ButtonCount(); ++position) {
            if (toolbar->Button(position)->Selected()) {
                positions.append(position);
            }
        }
        return positions;
    }
    void Type(const QString& text) { TypeInto(txtHTML(), text); }
    void Click(const char* name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }
    void ClickView(int position) {
        auto* toolbar = Find<Toolbar>("xtTab");
        QTest::mouseClick(toolbar->Button(static_cast<qint16>(position)), Qt::LeftButton);
    }
    // Presses Convert and answers the success message.
    void Convert(ModalAnswers& answers) {
        answers.ThenPress(1);
        Click("cmdConvertNow");
    }

    frmMain form;
};

} // namespace

class frmMainTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ConvertButtonFollowsTheHTMLBox();
    void ConvertRunsOnceAndTellsTheUser();
    void ScriptViewConvertsFirstWithoutTheSuccessMessage();
    void ScriptViewsShowTheirOwnResultCaptionAndFilter_data();
    void ScriptViewsShowTheirOwnResultCaptionAndFilter();
    void SwitchingViewsWithoutChangesRunsNothing();
    void RestoringTheConvertedTextNeedsNoNewRun();
    void EmptyBoxGetsOnlyItsMessageAndNothingChanges();
    void HTMLViewOfAnEmptyBoxSaysNothing();
    void ResetEmptiesTheBoxAndShowsTheHTMLPage();
    void ToolbarHighlightNamesTheShownView();
    void CopyAllPutsTheScriptBoxTextOnTheClipboard();
    void PastedHTMLIsConverted();
    void FailedConversionIsReportedAndKeepsEverything();

    void LoadIntoAnEmptyBoxAsksNothing();
    void EveryByteValueSurvivesLoadConvertAndSave();
    void LoadOverTextAsksFirstAndNoKeepsTheText();
    void LoadOfAMissingNameOffersAnotherPick();
    void LoadCancelledChangesNothing();
    void FailedLoadIsReportedAndKeepsTheText();
    void WhatIsNoPageIsNamedForWhatItIs_data();
    void WhatIsNoPageIsNamedForWhatItIs();
    void SaveWritesTheScriptBoxAsShown();
    void SaveOverAnExistingFileAsksFirst();
    void SaveProposesTheLoadedNameWithTheViewsExtension_data();
    void SaveProposesTheLoadedNameWithTheViewsExtension();
    void SavedNoticeAnsweredEitherWayEndsTheCommand();
    void FailedSaveKeepsTheOldFileAndSaysSo();
    void SaveCancelledWritesNothing();
    void PipesNeverHoldTheWindowUp();
    void Utf8PageKeepsItsCharactersToTheClipboardAndTheFile();
    void Utf16PagesAreReadAsTheirCharacters();
    void TypedCharactersOutsideWindows1252ReachEveryScript();
    void SavingAWindows1252PageAsksBeforeLosingCharacters();
    void LineBreakingCharactersComeBackAsTheCompanionWritesThem();
    void ScriptEditsSurviveOtherViewsUntilTheNextRun();
    void LoadingFromAScriptViewOffersPages();
    void ResetIsUndoneWithCtrlZ();
    void PageNamedAtStartIsLoadedAsTheLoadCommandLoadsIt();
    void ScriptIsLoadedAsTheHTMLItPrintsOrAsItIs();

    void QuitAnsweredNoKeepsEverything();
    void QuitAskedForEveryCloseRequest();
    void QuitAnsweredYesEndsTheProgram();
    void MinimiseButtonMinimises();
    void AboutBoxOpensModallyAndCloses();

private:
    QStringList StagingNames() const {
        return QDir(m_Folder->path()).entryList({QStringLiteral("qm*.tmp")}, QDir::Files);
    }
    int StagingFiles() const { return static_cast<int>(StagingNames().size()); }
    QString PathOf(const QString& name) const { return m_Folder->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_Folder;
    QString m_PreviousFolder;
};

void frmMainTest::init() {
    // Conversions stage their text in the current folder; give each test its own.
    m_Folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Folder->isValid());
    m_PreviousFolder = QDir::currentPath();
    QDir::setCurrent(m_Folder->path());
}

void frmMainTest::cleanup() {
    QDir::setCurrent(m_PreviousFolder);
    m_Folder.reset();
}

void frmMainTest::ConvertButtonFollowsTheHTMLBox() {
    Window window;
    ModalAnswers answers;
    QVERIFY(window.cmdConvertNow()->Disabled());

    window.Type(QStringLiteral("<p>"));
    QVERIFY(!window.cmdConvertNow()->Disabled());

    // Deleting everything disables it again.
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(window.txtHTML(), Qt::Key_Backspace);
    }
    QVERIFY(window.cmdConvertNow()->Disabled());

    window.Type(QStringLiteral("<b>"));
    window.Convert(answers);
    QVERIFY(answers.AllAnswered());
    QVERIFY(window.cmdConvertNow()->Disabled());

    window.Type(QStringLiteral("x"));
    QVERIFY(!window.cmdConvertNow()->Disabled());
    QTest::keyClick(window.txtHTML(), Qt::Key_Backspace);
    QVERIFY2(window.cmdConvertNow()->Disabled(), "the box holds the converted text again");

    // A disabled button takes no click: nothing is converted, nothing is said.
    const int staged = StagingFiles();
    window.Click("cmdConvertNow");
    QCOMPARE(StagingFiles(), staged);
    QVERIFY(answers.Messages().size() == 1);
}

void frmMainTest::ConvertRunsOnceAndTellsTheUser() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p class=\"x\">"));
    window.Convert(answers);
    QCOMPARE(answers.MessageTexts(), QStringList{kConverted});
    QCOMPARE(answers.Messages().first().Caption1, QStringLiteral("OK"));
    QCOMPARE(answers.Messages().first().Caption2, QStringLiteral("Cancel"));
    QCOMPARE(answers.Messages().first().Title, QStringLiteral("Quillomatic"));
    QCOMPARE(StagingFiles(), 10);
    // The results wait for a format to be picked; the HTML page stays.
    QVERIFY(window.htmlPage()->isVisible());
    QVERIFY(!window.scriptPage()->isVisible());
    QCOMPARE(window.txtScriptSource()->Text(), QString());
}

void frmMainTest::ScriptViewConvertsFirstWithoutTheSuccessMessage() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<a href=\"x\">"));
    window.ClickView(2);
    QVERIFY(answers.Messages().isEmpty());
    QCOMPARE(StagingFiles(), 10);
    QVERIFY(window.scriptPage()->isVisible());
    QVERIFY(!window.htmlPage()->isVisible());
    QCOMPARE(window.lblScriptName()->text(), QStringLiteral("ASP Source:"));
    QCOMPARE(window.txtScriptSource()->Text(),
             QStringLiteral("<%\r\n' GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n"
                            "Response.Write \"<a href=\"\"x\"\">\" & vbCrLf\r\n%>"));
    QVERIFY(window.cmdConvertNow()->Disabled());
}

void frmMainTest::ScriptViewsShowTheirOwnResultCaptionAndFilter_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("firstStatement");
    QTest::addColumn<QString>("filter");
    QTest::newRow("ASP") << 2 << "ASP Source:"
                         << "Response.Write \"$a\" & vbCrLf"
                         << "ASP Files (*.ASP)|* .ASP";
    QTest::newRow("JavaScript") << 3 << "JavaScript Source:"
                                << "document.writeln(\"$a\");"
                                << "JavaScript Files (*.JS)|* .JS";
    QTest::newRow("PHP") << 4 << "PHP Source:"
                         << "echo \"\\$a\\n\";"
                         << "PHP Files (*.PHP)|* .PHP";
    QTest::newRow("JSP") << 5 << "JSP Source:"
                         << "out.println(\"$a\");"
                         << "JSP Files (*.JSP)|* .JSP";
    QTest::newRow("Perl") << 6 << "Perl Source:"
                          << "print \"\\$a\\n\";"
                          << "Perl Files (*.PL)|* .PL";
}

void frmMainTest::ScriptViewsShowTheirOwnResultCaptionAndFilter() {
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(QString, firstStatement);
    QFETCH(QString, filter);
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("$a"));
    window.ClickView(position);
    QCOMPARE(window.lblScriptName()->text(), caption);
    QVERIFY2(window.txtScriptSource()->Text().contains(QStringLiteral("\r\n") + firstStatement +
                                                       QStringLiteral("\r\n")),
             qPrintable(window.txtScriptSource()->Text()));
    QCOMPARE(window.cdg()->Filter(), filter);
    window.ClickView(1);
    QVERIFY(window.htmlPage()->isVisible());
    QCOMPARE(window.cdg()->Filter(), kHTMLFilter);
    // The HTML view leaves the script page as it was.
    QCOMPARE(window.lblScriptName()->text(), caption);
}

void frmMainTest::SwitchingViewsWithoutChangesRunsNothing() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    window.Convert(answers);
    for (int position : {2, 3, 4, 5, 6, 1, 4}) {
        window.ClickView(position);
    }
    QCOMPARE(StagingFiles(), 10);
    QCOMPARE(answers.Messages().size(), 1);
    QVERIFY(window.txtScriptSource()->Text().startsWith(QStringLiteral("<?php")));
}

void frmMainTest::RestoringTheConvertedTextNeedsNoNewRun() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    window.ClickView(4);
    const QString php = window.txtScriptSource()->Text();
    window.ClickView(1);
    window.Type(QStringLiteral("!"));
    QTest::keyClick(window.txtHTML(), Qt::Key_Backspace);
    window.ClickView(4);
    QCOMPARE(StagingFiles(), 10);
    QCOMPARE(window.txtScriptSource()->Text(), php);

    // A real change runs again, and its staging files take the place of the last run's.
    const QStringList lastRun = StagingNames();
    window.ClickView(1);
    window.Type(QStringLiteral("!"));
    window.ClickView(4);
    QCOMPARE(StagingFiles(), 10);
    for (const QString& name : lastRun) {
        QVERIFY(!StagingNames().contains(name));
    }
    QVERIFY(window.txtScriptSource()->Text().contains(QStringLiteral("echo \"<p>!\\n\";")));
}

void frmMainTest::EmptyBoxGetsOnlyItsMessageAndNothingChanges() {
    Window window;
    ModalAnswers answers;
    // Earlier results exist and the PHP page shows...
    window.Type(QStringLiteral("<p>"));
    window.ClickView(4);
    const QString shown = window.txtScriptSource()->Text();
    // ...then the box is emptied through Reset, which shows the HTML page.
    window.Click("cmdReset");
    QVERIFY(window.htmlPage()->isVisible());
    const int staged = StagingFiles();

    answers.ThenPress(2);
    window.ClickView(2);
    QCOMPARE(answers.MessageTexts(), QStringList{kNothingToConvert});
    QVERIFY(window.htmlPage()->isVisible());
    QVERIFY(!window.scriptPage()->isVisible());
    QCOMPARE(window.cdg()->Filter(), kHTMLFilter);
    QCOMPARE(window.lblScriptName()->text(), QStringLiteral("PHP Source:"));
    QCOMPARE(window.txtScriptSource()->Text(), shown);
    QCOMPARE(StagingFiles(), staged);
}

void frmMainTest::HTMLViewOfAnEmptyBoxSaysNothing() {
    Window window;
    ModalAnswers answers;
    window.ClickView(1);
    QTest::qWait(50);
    QVERIFY(answers.Messages().isEmpty());
    QVERIFY(window.htmlPage()->isVisible());
    QCOMPARE(window.cdg()->Filter(), kHTMLFilter);
}

void frmMainTest::ResetEmptiesTheBoxAndShowsTheHTMLPage() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    window.ClickView(6);
    QCOMPARE(window.cdg()->Filter(), QStringLiteral("Perl Files (*.PL)|* .PL"));
    window.Click("cmdReset");
    QCOMPARE(window.txtHTML()->Text(), QString());
    QVERIFY(window.htmlPage()->isVisible());
    QVERIFY(!window.scriptPage()->isVisible());
    QCOMPARE(window.cdg()->Filter(), kHTMLFilter);
    QVERIFY(window.cmdConvertNow()->Disabled());
    // The results stay: the script box still shows the Perl script.
    QVERIFY(window.txtScriptSource()->Text().startsWith(QStringLiteral("# GENERATED")));
}

void frmMainTest::ToolbarHighlightNamesTheShownView() {
    Window window;
    ModalAnswers answers;
    QCOMPARE(window.Highlighted(), QList<int>{1});
    window.Type(QStringLiteral("<p>"));
    window.ClickView(4);
    QCOMPARE(window.Highlighted(), QList<int>{4});
    // Reset shows the HTML page without the toolbar.
    window.Click("cmdReset");
    QCOMPARE(window.Highlighted(), QList<int>{1});
    // A script view refused for an empty box leaves the HTML page on show,
    // while its message is up and after.
    QList<int> whileAsked;
    answers.Then([&](QWidget* box) {
        whileAsked = window.Highlighted();
        QTest::mouseClick(box->findChild<QWidget*>(QStringLiteral("cmd1")), Qt::LeftButton);
    });
    window.ClickView(2);
    QVERIFY(answers.AllAnswered());
    QCOMPARE(whileAsked, QList<int>{1});
    QCOMPARE(window.Highlighted(), QList<int>{1});
    QVERIFY(window.htmlPage()->isVisible());
}

void frmMainTest::CopyAllPutsTheScriptBoxTextOnTheClipboard() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    QTest::keyClick(window.txtHTML(), Qt::Key_Return);
    window.Type(QStringLiteral("\"two\""));
    window.ClickView(3);
    // What the box holds at that moment, edits included.
    QTest::keyClick(window.txtScriptSource(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window.txtScriptSource(), QStringLiteral(" // edited"));
    window.Click("cmdCopy");
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("<SCRIPT LANGUAGE=\"JavaScript\">\r\n<!--\r\n"
                            "// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n"
                            "document.writeln(\"<p>\");\r\n"
                            "document.writeln(\"\\\"two\\\"\");\r\n"
                            "//-->\r\n</SCRIPT> // edited"));
    QVERIFY(answers.Messages().isEmpty());
}

void frmMainTest::PastedHTMLIsConverted() {
    Window window;
    ModalAnswers answers;
    QGuiApplication::clipboard()->setText(QStringLiteral("<p>one</p>\r\n<p>two</p>\n"));
    window.txtHTML()->setFocus();
    QTest::keyClick(window.txtHTML(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(!window.cmdConvertNow()->Disabled());
    window.ClickView(4);
    QCOMPARE(window.txtScriptSource()->Text(),
             QStringLiteral("<?php\r\n// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n"
                            "echo \"<p>one</p>\\n\";\r\necho \"<p>two</p>\\n\";\r\n?>"));
}

void frmMainTest::FailedConversionIsReportedAndKeepsEverything() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    window.ClickView(2);
    window.ClickView(1);
    window.Type(QStringLiteral("!"));
    // The staging file cannot be created: the current folder is gone.
    QDir::setCurrent(QStringLiteral("/proc"));
    answers.ThenPress(1);
    window.ClickView(4);
    QDir::setCurrent(m_Folder->path());
    QCOMPARE(answers.Messages().size(), 1);
    QVERIFY2(answers.Messages().first().Text.startsWith(
                 QStringLiteral("Your HTML could not be converted.\n\nCannot create \"qm")),
             qPrintable(answers.Messages().first().Text));
    // No page switch, the previous results stay, Convert stays available.
    QVERIFY(window.htmlPage()->isVisible());
    QVERIFY(!window.cmdConvertNow()->Disabled());
    QCOMPARE(window.lblScriptName()->text(), QStringLiteral("ASP Source:"));

    // Once the folder is usable again the same view converts.
    window.ClickView(4);
    QCOMPARE(window.lblScriptName()->text(), QStringLiteral("PHP Source:"));
    QVERIFY(window.txtScriptSource()->Text().contains(QStringLiteral("echo \"<p>!\\n\";")));

    // A script's staging file cut short is refused, and the view converts again.
    for (const QString& name : StagingNames()) {
        QVERIFY(QFile::resize(PathOf(name), 1));
    }
    answers.ThenPress(1);
    window.ClickView(2);
    QCOMPARE(answers.Messages().size(), 2);
    QVERIFY2(answers.Messages().last().Text.startsWith(
                 QStringLiteral("The script could not be shown.\n\nCannot read \"")),
             qPrintable(answers.Messages().last().Text));
    QCOMPARE(window.lblScriptName()->text(), QStringLiteral("PHP Source:"));
    window.ClickView(2);
    QCOMPARE(window.lblScriptName()->text(), QStringLiteral("ASP Source:"));
    QVERIFY(window.txtScriptSource()->Text().contains(QStringLiteral("<p>!")));
}

void frmMainTest::LoadIntoAnEmptyBoxAsksNothing() {
    Window window;
    ModalAnswers answers;
    WriteFile(PathOf(QStringLiteral("page.html")), "<p>caf\xE9</p>\r\n<b>\"x\"</b>\r\n");
    answers.ThenPick(PathOf(QStringLiteral("page.html")));
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QVERIFY(answers.Messages().isEmpty());
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>caf\u00E9</p>\r\n<b>\"x\"</b>\r\n"));
    QCOMPARE(window.cdg()->FileName(), PathOf(QStringLiteral("page.html")));
    QVERIFY2(!window.cmdConvertNow()->Disabled(), "a load does not convert");
    QCOMPARE(StagingFiles(), 0);
}

void frmMainTest::EveryByteValueSurvivesLoadConvertAndSave() {
    // A page in any encoding: every byte value but the line ends, on two lines.
    QByteArray bytes;
    for (int value = 0; value < 256; ++value) {
        if (value != '\r' && value != '\n') {
            bytes.append(static_cast<char>(value));
        }
    }
    WriteFile(PathOf(QStringLiteral("bytes.html")), bytes + "\r\n" + bytes);
    Window window;
    ModalAnswers answers;
    answers.ThenPick(PathOf(QStringLiteral("bytes.html")));
    window.Click("cmdLoadFromFile");
    window.ClickView(6);
    answers.ThenPick(PathOf(QStringLiteral("bytes.pl"))).ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    // The saved script holds the page's bytes, escaped for Perl and nothing else.
    QByteArray escaped;
    for (const char byte : bytes) {
        if (byte == '\\' || byte == '"' || byte == '$' || byte == '@') {
            escaped.append('\\');
        }
        escaped.append(byte);
    }
    const QByteArray statement = "print \"" + escaped + "\\n\";\r\n";
    const QByteArray script =
        "# GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n" + statement + statement;
    QCOMPARE(ReadFile(PathOf(QStringLiteral("bytes.pl"))), script);
    QCOMPARE(CompanionScript("perl", PathOf(QStringLiteral("bytes.html"))), script);
    // What is copied are the characters Windows-1252 gives those bytes.
    window.Click("cmdCopy");
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString::fromUtf8(quillomatic::TextOf(script.toStdString(),
                                                   quillomatic::TextEncoding::Windows1252)));
}

void frmMainTest::LoadOverTextAsksFirstAndNoKeepsTheText() {
    Window window;
    ModalAnswers answers;
    WriteFile(PathOf(QStringLiteral("page.htm")), "<new>");
    window.Type(QStringLiteral("<old>"));
    answers.ThenPick(PathOf(QStringLiteral("page.htm"))).ThenPress(2);
    window.Click("cmdLoadFromFile");
    QCOMPARE(answers.MessageTexts(), QStringList{kErase});
    QCOMPARE(answers.Messages().first().Caption1, QStringLiteral("Yes"));
    QCOMPARE(answers.Messages().first().Caption2, QStringLiteral("No"));
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<old>"));

    answers.ThenPick(PathOf(QStringLiteral("page.htm"))).ThenPress(1);
    window.Click("cmdLoadFromFile");
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<new>"));
}

void frmMainTest::LoadOfAMissingNameOffersAnotherPick() {
    Window window;
    ModalAnswers answers;
    WriteFile(PathOf(QStringLiteral("real.html")), "<real>");
    window.Type(QStringLiteral("<old>"));
    // Missing, yes; missing again, yes; the real one, then yes to the erase question.
    answers.ThenPick(PathOf(QStringLiteral("gone.html")))
        .ThenPress(1)
        .ThenPick(PathOf(QStringLiteral("also-gone.html")))
        .ThenPress(1)
        .ThenPick(PathOf(QStringLiteral("real.html")))
        .ThenPress(1);
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageTexts(), (QStringList{kNotFound, kNotFound, kErase}));
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<real>"));

    // "No" ends the command with the box as it was.
    answers.ThenPick(PathOf(QStringLiteral("gone.html"))).ThenPress(2);
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<real>"));
}

void frmMainTest::LoadCancelledChangesNothing() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<old>"));
    answers.ThenCancel();
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QVERIFY(answers.Messages().isEmpty());
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<old>"));
}

void frmMainTest::FailedLoadIsReportedAndKeepsTheText() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<old>"));
    // A file that exists but fails when read: a link to the process's memory file.
    const QString unreadable = PathOf(QStringLiteral("unreadable.html"));
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), unreadable));
    answers.ThenPick(unreadable).ThenPress(1).ThenPress(1);
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.Messages().size(), 2);
    QCOMPARE(answers.Messages().at(0).Text, kErase);
    // The path gives up the start of its folder to the reason, which follows it.
    const QString report = answers.Messages().at(1).Text;
    QVERIFY2(report.startsWith(
                 QStringLiteral("The HTML could not be loaded from the file.\n\nCannot read \"")) &&
                 report.contains(QStringLiteral("/unreadable.html\": ")),
             qPrintable(report));
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<old>"));
}

void frmMainTest::WhatIsNoPageIsNamedForWhatItIs_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shownAs"); // after the folder's path and "/"
    QTest::addColumn<QString>("cause");
    QTest::newRow("folder") << "folder" << "site.html" << "site.html\"" << "it is a folder, not a file";
    QTest::newRow("loop of links") << "loop" << "loop.html" << "loop.html\""
                                   << "there is a loop of symbolic links";
    QTest::newRow("socket") << "socket" << "socket.html" << "socket.html\"" << "it is a socket";
    // The name a hostile archive could hold: it would set a terminal's title.
    QTest::newRow("control characters")
        << "folder" << "x\x1b]0;owned\x07y.html" << "x\\033]0;owned\\ay.html'"
        << "it is a folder, not a file";
}

void frmMainTest::WhatIsNoPageIsNamedForWhatItIs() {
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QString, shownAs);
    QFETCH(QString, cause);
    const QString path = PathOf(name);
    const QByteArray encoded = QFile::encodeName(path);
    if (kind == QStringLiteral("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QStringLiteral("loop")) {
        QVERIFY(QFile::link(path, path));
    } else {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(static_cast<std::size_t>(encoded.size()) < sizeof(address.sun_path));
        std::copy(encoded.begin(), encoded.end(), address.sun_path);
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0);
        ::close(listener);
    }
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<old>"));
    answers.ThenPress(1);
    window.form.OpenPage(path); // as "quillomatic PATH" opens it
    QVERIFY(answers.AllAnswered());
    // Told at once, without the question about the HTML it would replace.
    QCOMPARE(answers.Messages().size(), 1);
    const QString report = answers.Messages().at(0).Text;
    QVERIFY2(report.endsWith(QStringLiteral("/") + shownAs + QStringLiteral(": ") + cause +
                             QLatin1Char('.')),
             qPrintable(report));
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<old>"));
}

void frmMainTest::SaveWritesTheScriptBoxAsShown() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>caf\u00E9 \u20AC</p>"));
    window.ClickView(4);
    QTest::keyClick(window.txtScriptSource(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(window.txtScriptSource(), Qt::Key_Return);
    QTest::keyClicks(window.txtScriptSource(), QStringLiteral("// mine"));
    // A name without extension gets none added.
    answers.ThenPick(PathOf(QStringLiteral("script"))).ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageTexts(), QStringList{kSaved});
    QCOMPARE(answers.Messages().first().Caption1, QStringLiteral("OK"));
    QCOMPARE(answers.Messages().first().Caption2, QStringLiteral("Cancel"));
    // Typed, the text is saved as UTF-8.
    QCOMPARE(ReadFile(PathOf(QStringLiteral("script"))),
             QByteArray("<?php\r\n// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n"
                        "echo \"<p>caf\xC3\xA9 \xE2\x82\xAC</p>\\n\";\r\n?>\r\n// mine"));
}

void frmMainTest::SaveOverAnExistingFileAsksFirst() {
    Window window;
    ModalAnswers answers;
    const QString target = PathOf(QStringLiteral("out.php"));
    WriteFile(target, "old contents, longer than the new script will be, by quite a margin.....");
    window.Type(QStringLiteral("<p>"));
    window.ClickView(4);

    answers.ThenPick(target).ThenPress(2);
    window.Click("cmdSave");
    QCOMPARE(answers.MessageTexts(), QStringList{kOverwrite});
    QCOMPARE(answers.Messages().first().Caption1, QStringLiteral("Yes"));
    QCOMPARE(ReadFile(target).left(12), QByteArray("old contents"));

    // Readable by the web server's user alone, through an entry of its own:
    // the replacement keeps that.
    const char* const kList = "user::rw-\nuser:daemon:r--\ngroup::---\nmask::r--\nother::---\n";
    const acl_t list = ::acl_from_text(kList);
    QVERIFY(::acl_set_file(QFile::encodeName(target).constData(), ACL_TYPE_ACCESS, list) == 0);
    ::acl_free(list);
    answers.ThenPick(target).ThenPress(1).ThenPress(1);
    window.Click("cmdSave");
    QCOMPARE(answers.MessageTexts(), (QStringList{kOverwrite, kOverwrite, kSaved}));
    QCOMPARE(ReadFile(target), window.txtScriptSource()->Text().toLatin1());
    const acl_t kept = ::acl_get_file(QFile::encodeName(target).constData(), ACL_TYPE_ACCESS);
    char* text = ::acl_to_text(kept, nullptr);
    QCOMPARE(QString::fromUtf8(text), QString::fromUtf8(kList));
    ::acl_free(text);
    ::acl_free(kept);
}

void frmMainTest::SaveProposesTheLoadedNameWithTheViewsExtension_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("ASP") << 2 << QStringLiteral("index.asp");
    QTest::newRow("JavaScript") << 3 << QStringLiteral("index.js");
    QTest::newRow("PHP") << 4 << QStringLiteral("index.php");
    QTest::newRow("JSP") << 5 << QStringLiteral("index.jsp");
    QTest::newRow("Perl") << 6 << QStringLiteral("index.pl");
}

void frmMainTest::SaveProposesTheLoadedNameWithTheViewsExtension() {
    QFETCH(int, position);
    QFETCH(QString, proposed);
    QVERIFY(QDir(m_Folder->path()).mkdir(QStringLiteral("site")));
    const QString page = PathOf(QStringLiteral("site/index.html"));
    WriteFile(page, "<p>the page</p>\r\n");
    Window window;
    ModalAnswers answers;
    answers.ThenPick(page);
    window.Click("cmdLoadFromFile");
    window.ClickView(position);

    // Save to File, Enter, Enter: the name the dialog offers, then the notice.
    QString offeredName;
    QString offeredFolder;
    answers
        .Then([&](QWidget* shown) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!dialog || !name || !QTest::qWaitForWindowActive(shown) ||
                !QTest::qWaitFor([name] { return name->hasFocus(); })) {
                shown->close();
                return;
            }
            offeredName = name->text();
            offeredFolder = dialog->directory().absolutePath();
            QTest::keyClick(name, Qt::Key_Return);
        })
        .ThenPress(1)
        .ThenPress(1);
    window.Click("cmdSave");

    QCOMPARE(offeredName, proposed);
    QCOMPARE(offeredFolder, PathOf(QStringLiteral("site")));
    QCOMPARE(answers.MessageTexts(), QStringList{kSaved});
    QCOMPARE(ReadFile(page), QByteArray("<p>the page</p>\r\n"));
    QCOMPARE(ReadFile(PathOf(QStringLiteral("site/") + proposed)),
             window.txtScriptSource()->Text().toUtf8());
}

void frmMainTest::SavedNoticeAnsweredEitherWayEndsTheCommand() {
    for (int button : {1, 2}) {
        Window window;
        ModalAnswers answers;
        window.Type(QStringLiteral("<p>"));
        window.ClickView(2);
        const QString target = PathOf(QStringLiteral("notice%1.asp").arg(button));
        answers.ThenPick(target).ThenPress(button);
        window.Click("cmdSave");
        QVERIFY(answers.AllAnswered());
        QCOMPARE(answers.MessageTexts(), QStringList{kSaved});
        QCOMPARE(ReadFile(target), window.txtScriptSource()->Text().toLatin1());
        QVERIFY(!window.MessageBox()->isVisible());
        QVERIFY(window.scriptPage()->isVisible());
    }
}

void frmMainTest::PipesNeverHoldTheWindowUp() {
    Window window;
    ModalAnswers answers;
    const QString pipe = PathOf(QStringLiteral("pipe.html"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    // Nobody writes to it: opened to read, it would wait for ever.
    answers.ThenPick(pipe).ThenPress(1);
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QVERIFY2(
        answers.Messages().last().Text.endsWith(QStringLiteral("\": it is not a regular file.")),
        qPrintable(answers.Messages().last().Text));
    QVERIFY(window.txtHTML()->IsEmpty());

    // Nobody reads from it.
    QGuiApplication::clipboard()->setText(QString(70000, QLatin1Char('x')));
    window.txtHTML()->setFocus();
    QTest::keyClick(window.txtHTML(), Qt::Key_V, Qt::ControlModifier);
    window.ClickView(4);
    answers.ThenPick(pipe).ThenPress(1).ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QVERIFY2(
        answers.Messages().last().Text.endsWith(QStringLiteral("\": nobody is reading from it.")),
        qPrintable(answers.Messages().last().Text));
    // A reader that takes nothing: the pipe fills up.
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    answers.ThenPick(pipe).ThenPress(1).ThenPress(1);
    window.Click("cmdSave");
    ::close(reader);
    QVERIFY(answers.AllAnswered());
    QVERIFY2(answers.Messages().last().Text.endsWith(
                 QStringLiteral("\": it cannot take more without waiting.")),
             qPrintable(answers.Messages().last().Text));
}

void frmMainTest::FailedSaveKeepsTheOldFileAndSaysSo() {
    Window window;
    ModalAnswers answers;
    const QString target = PathOf(QStringLiteral("big.js"));
    WriteFile(target, "old");
    QGuiApplication::clipboard()->setText(QString(20000, QLatin1Char('x')));
    window.txtHTML()->setFocus();
    QTest::keyClick(window.txtHTML(), Qt::Key_V, Qt::ControlModifier);
    window.ClickView(3);

    // The disk fills up while saving: files may not grow beyond 4 KB.
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    answers.ThenPick(target).ThenPress(1).ThenPress(1);
    window.Click("cmdSave");
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.Messages().size(), 2);
    QCOMPARE(answers.Messages().at(0).Text, kOverwrite);
    const QString report = answers.Messages().at(1).Text;
    QVERIFY2(
        report.startsWith(QStringLiteral(
            "The script source could not be written to the file.\n\nCannot write \"")) &&
            report.endsWith(QStringLiteral("/big.js\": the file would be larger than allowed.")),
        qPrintable(report));
    QCOMPARE(ReadFile(target), QByteArray("old"));
    QCOMPARE(
        QDir(m_Folder->path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".qm")),
        QStringList{});

    // A folder that does not exist is reported too.
    answers.ThenPick(PathOf(QStringLiteral("missing/out.js"))).ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QVERIFY(answers.Messages().last().Text.endsWith(QStringLiteral("the folder does not exist.")));
}

void frmMainTest::SaveCancelledWritesNothing() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    window.ClickView(5);
    const QStringList before = QDir(m_Folder->path()).entryList(QDir::Files | QDir::Hidden);
    answers.ThenCancel();
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QVERIFY(answers.Messages().isEmpty());
    QCOMPARE(QDir(m_Folder->path()).entryList(QDir::Files | QDir::Hidden), before);
}

void frmMainTest::Utf8PageKeepsItsCharactersToTheClipboardAndTheFile() {
    // With a byte-order mark, which is a character of the first line like any other.
    const QString page = PathOf(QStringLiteral("page.html"));
    WriteFile(page, "\xEF\xBB\xBF<p>caf\xC3\xA9 \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E "
                    "\xE2\x86\x92</p>\r\n<q>\xE2\x80\x9Cquotes\xE2\x80\x9D \xE2\x82\xAC "
                    "\xF0\x9F\x8E\x89</q>\r\n");
    const QStringList lines = {
        QStringLiteral("\uFEFF<p>caf\u00E9 \u2013 \u65E5\u672C\u8A9E \u2192</p>"),
        QStringLiteral("<q>\u201Cquotes\u201D \u20AC \U0001F389</q>")};
    Window window;
    ModalAnswers answers;
    answers.ThenPick(page);
    window.Click("cmdLoadFromFile");
    QCOMPARE(window.txtHTML()->Text(), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    for (int position = 2; position <= 6; ++position) {
        window.ClickView(position);
        window.Click("cmdCopy");
        QCOMPARE(QGuiApplication::clipboard()->text(), PlainScript(position, lines));
    }
    answers.ThenPick(PathOf(QStringLiteral("page.pl"))).ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(ReadFile(PathOf(QStringLiteral("page.pl"))), CompanionScript("perl", page));
}

void frmMainTest::Utf16PagesAreReadAsTheirCharacters() {
    const QString text = QStringLiteral("<p>caf\u00E9 \u65E5\u672C \U0001F389</p>");
    const QString page = QStringLiteral("\uFEFF") + text + QStringLiteral("\r\n\"$x\"\r\n");
    const QStringList pages = {QStringLiteral("le.html"), QStringLiteral("be.html")};
    WriteFile(PathOf(pages[0]), QStringEncoder(QStringEncoder::Utf16LE).encode(page));
    WriteFile(PathOf(pages[1]),
              QStringEncoder(QStringEncoder::Utf16BE)
                  .encode(QString(page).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))));
    Window window;
    ModalAnswers answers;
    for (const QString& name : pages) {
        answers.ThenPick(PathOf(name));
        if (!window.txtHTML()->IsEmpty()) {
            answers.ThenPress(1);
        }
        window.Click("cmdLoadFromFile");
        QVERIFY(window.txtHTML()->Text().startsWith(QStringLiteral("\uFEFF") + text));
        // Its scripts are UTF-8, the mark kept, as the companion writes them.
        window.ClickView(4);
        const QString script = PathOf(name + QStringLiteral(".php"));
        answers.ThenPick(script).ThenPress(1);
        window.Click("cmdSave");
        QVERIFY(answers.AllAnswered());
        QCOMPARE(ReadFile(script), CompanionScript("php", PathOf(name)));
        QCOMPARE(PhpOutput(script),
                 (QStringLiteral("\uFEFF") + text + QStringLiteral("\n\"$x\"\n")).toUtf8());
        window.ClickView(1);
    }

    // Not valid UTF-16: said so, and the box keeps what it held.
    const QString held = window.txtHTML()->Text();
    WriteFile(PathOf(QStringLiteral("bad.html")), QByteArray("\xFF\xFE<\x00\x00\xDC>\x00", 8));
    answers.ThenPick(PathOf(QStringLiteral("bad.html"))).ThenPress(1).ThenPress(1);
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    const QString report = answers.Messages().last().Text;
    QVERIFY2(report.startsWith(
                 QStringLiteral("The HTML could not be loaded from the file.\n\nCannot read \"")) &&
                 report.endsWith(QStringLiteral("/bad.html\": it is not valid UTF-16 at byte 4.")),
             qPrintable(report));
    QCOMPARE(window.txtHTML()->Text(), held);
}

void frmMainTest::TypedCharactersOutsideWindows1252ReachEveryScript() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>\u65E5\u672C \u0151</p>"));
    for (int position = 2; position <= 6; ++position) {
        window.ClickView(position);
        QCOMPARE(window.txtScriptSource()->Text(),
                 PlainScript(position, {QStringLiteral("<p>\u65E5\u672C \u0151</p>")}));
    }
    window.Click("cmdCopy");
    QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("\u65E5\u672C \u0151")));
}

void frmMainTest::SavingAWindows1252PageAsksBeforeLosingCharacters() {
    const QString kCannotStore = QStringLiteral(
        "The script holds characters that Windows-1252 cannot store.\n\nDo you want to save it "
        "as UTF-8 instead?");
    WriteFile(PathOf(QStringLiteral("page.html")), "<p>caf\xE9 \x80</p>\r\n");
    Window window;
    ModalAnswers answers;
    answers.ThenPick(PathOf(QStringLiteral("page.html")));
    window.Click("cmdLoadFromFile");
    window.ClickView(4);
    QTest::keyClick(window.txtScriptSource(), Qt::Key_End, Qt::ControlModifier);
    TypeInto(window.txtScriptSource(), QStringLiteral(" \u65E5"));

    answers.ThenPick(PathOf(QStringLiteral("yes.php"))).ThenPress(1).ThenPress(1);
    window.Click("cmdSave");
    answers.ThenPick(PathOf(QStringLiteral("no.php"))).ThenPress(2).ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageTexts(), (QStringList{kCannotStore, kSaved, kCannotStore, kSaved}));
    QCOMPARE(answers.Messages().first().Caption1, QStringLiteral("Yes"));
    const QByteArray script = "<?php\r\n// GENERATED BY PELLWEATHER QUILLOMATIC\r\n\r\n"
                              "echo \"<p>caf\xE9 \x80</p>\\n\";\r\n?>";
    QCOMPARE(ReadFile(PathOf(QStringLiteral("yes.php"))),
             QString::fromLatin1(script).replace(QChar(0x80), QChar(0x20AC)).toUtf8() +
                 " \xE6\x97\xA5");
    QCOMPARE(ReadFile(PathOf(QStringLiteral("no.php"))), script + " ?");

    // Emptied, the box forgets how the page came in: what is typed is saved
    // as UTF-8. The edit typed above goes, once the user agrees.
    answers.ThenPress(1);
    window.Click("cmdReset");
    window.Type(QStringLiteral("\u00E9"));
    window.ClickView(4);
    answers.ThenPick(PathOf(QStringLiteral("typed.php"))).ThenPress(1);
    window.Click("cmdSave");
    QCOMPARE(answers.MessageTexts().size(), 6);
    QVERIFY(ReadFile(PathOf(QStringLiteral("typed.php"))).contains("echo \"\xC3\xA9\\n\";"));
}

void frmMainTest::LineBreakingCharactersComeBackAsTheCompanionWritesThem() {
    // U+2029 and U+FDD0 end a line in Qt's text document, not in the page.
    const QByteArray bytes = "<p>first\xE2\x80\xA9second</p>\r\n<i>\xEF\xB7\x90</i>\r\n";
    const QString page = PathOf(QStringLiteral("breaks.html"));
    WriteFile(page, bytes);
    Window window;
    ModalAnswers answers;
    answers.ThenPick(page);
    window.Click("cmdLoadFromFile");
    QCOMPARE(window.txtHTML()->Text().toUtf8(), bytes);
    window.ClickView(4);
    window.Click("cmdCopy");
    QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(), CompanionScript("php", page));
    answers.ThenPick(PathOf(QStringLiteral("breaks.php"))).ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(ReadFile(PathOf(QStringLiteral("breaks.php"))), CompanionScript("php", page));

    // Pasted, they come through too.
    window.Click("cmdReset");
    QGuiApplication::clipboard()->setText(QString::fromUtf8(bytes));
    window.txtHTML()->setFocus();
    QTest::keyClick(window.txtHTML(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window.txtHTML()->Text().toUtf8(), bytes);
}

void frmMainTest::ScriptEditsSurviveOtherViewsUntilTheNextRun() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    window.ClickView(4);
    QTest::keyClick(window.txtScriptSource(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window.txtScriptSource(), QStringLiteral("// mine"));
    const QString edited = window.txtScriptSource()->Text();
    window.ClickView(2);
    QVERIFY(!window.txtScriptSource()->Text().contains(QStringLiteral("// mine")));
    window.ClickView(1);
    window.ClickView(4);
    QCOMPARE(window.txtScriptSource()->Text(), edited);
    window.Click("cmdCopy");
    QCOMPARE(QGuiApplication::clipboard()->text(), edited);

    // A run or a Reset would drop the edits of every view: it asks first,
    // naming them, and "No" leaves everything as it was.
    window.ClickView(6);
    QTest::keyClicks(window.txtScriptSource(), QStringLiteral("# mine"));
    const QString kLost = QStringLiteral(
        "Your changes to the PHP and Perl scripts will be lost.\n\nDo you want to go on?");
    answers.ThenPress(2);
    window.Click("cmdReset");
    QVERIFY(window.scriptPage()->isVisible());
    QVERIFY(window.txtScriptSource()->Text().startsWith(QStringLiteral("# mine")));
    window.ClickView(1);
    window.Type(QStringLiteral("!"));
    answers.ThenPress(2);
    window.ClickView(4);
    QCOMPARE(answers.MessageTexts(), (QStringList{kLost, kLost}));
    QVERIFY(window.htmlPage()->isVisible());
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>!"));
    // "Yes": a new run gives every view its new script.
    answers.ThenPress(1);
    window.ClickView(4);
    QCOMPARE(answers.MessageTexts().size(), 3);
    QVERIFY(!window.txtScriptSource()->Text().contains(QStringLiteral("// mine")));
    QVERIFY(window.txtScriptSource()->Text().contains(QStringLiteral("echo \"<p>!\\n\";")));
}

void frmMainTest::LoadingFromAScriptViewOffersPages() {
    // The box has the keyboard at start: a paste lands there.
    Window window;
    ModalAnswers answers;
    QVERIFY(QTest::qWaitForWindowActive(&window.form));
    QCOMPARE(QApplication::focusWidget(), window.txtHTML());

    const QString page = PathOf(QStringLiteral("page.html"));
    WriteFile(page, "<p>page</p>");
    answers.ThenPick(page);
    window.Click("cmdLoadFromFile");
    window.ClickView(4);
    answers.ThenPick(PathOf(QStringLiteral("page.php"))).ThenPress(1);
    window.Click("cmdSave");
    // Ctrl+O in the PHP view goes to the HTML page and offers the page, not
    // the script just saved, with the HTML filters.
    QStringList filters;
    QStringList offered;
    answers.Then([&](QWidget* shown) {
        auto* dialog = qobject_cast<QFileDialog*>(shown);
        filters = dialog->nameFilters();
        offered = dialog->selectedFiles();
        dialog->reject();
    });
    window.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window.form));
    QTest::keyClick(window.form.windowHandle(), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(answers.AllAnswered());
    QVERIFY(window.htmlPage()->isVisible());
    QVERIFY2(filters.constFirst().startsWith(QStringLiteral("HTML Files")),
             qPrintable(filters.join(QLatin1Char('|'))));
    QCOMPARE(offered, QStringList{page});
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>page</p>"));
}

void frmMainTest::ResetIsUndoneWithCtrlZ() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>kept</p>"));
    window.ClickView(4);
    window.Click("cmdReset");
    QVERIFY(window.txtHTML()->IsEmpty());
    QVERIFY(window.htmlPage()->isVisible());
    QTest::keyClick(window.txtHTML(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>kept</p>"));
    // The box holds the converted text again.
    QVERIFY(window.cmdConvertNow()->Disabled());
    QVERIFY(answers.Messages().isEmpty());
}

void frmMainTest::PageNamedAtStartIsLoadedAsTheLoadCommandLoadsIt() {
    QVERIFY(QDir(m_Folder->path()).mkpath(QStringLiteral("site")));
    const QString page = PathOf(QStringLiteral("site/page.html"));
    WriteFile(page, "<p>\x93quoted\x94</p>\r\n"); // Windows-1252
    Window window;
    ModalAnswers answers;
    window.form.OpenPage(page);
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>\u201Cquoted\u201D</p>\r\n"));
    window.ClickView(4);
    // The save dialog starts in the page's folder and proposes its name.
    QString offeredName;
    QString offeredFolder;
    answers.Then([&](QWidget* shown) {
        auto* name = shown->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name || !QTest::qWaitForWindowActive(shown) ||
            !QTest::qWaitFor([name] { return name->hasFocus(); })) {
            shown->close();
            return;
        }
        offeredName = name->text();
        offeredFolder = qobject_cast<QFileDialog*>(shown)->directory().absolutePath();
        QTest::keyClick(name, Qt::Key_Return);
    });
    answers.ThenPress(1);
    window.Click("cmdSave");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(offeredFolder, PathOf(QStringLiteral("site")));
    QCOMPARE(offeredName, QStringLiteral("page.php"));
    QCOMPARE(ReadFile(PathOf(QStringLiteral("site/page.php"))), CompanionScript("php", page));

    // A page that is not there gets the load command's question.
    answers.ThenPress(2);
    window.form.OpenPage(PathOf(QStringLiteral("missing.html")));
    QCOMPARE(answers.MessageTexts().last(), kNotFound);
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>\u201Cquoted\u201D</p>\r\n"));
}

void frmMainTest::ScriptIsLoadedAsTheHTMLItPrintsOrAsItIs() {
    const QString script = PathOf(QStringLiteral("page.php"));
    // The literal holds a Windows-1252 byte: the HTML is read as such a page is.
    const QByteArray source = "<?php\n$x = 1;\necho \"<p>caf\xE9 $x</p>\\n\";\n";
    WriteFile(script, source);
    const QString question = QStringLiteral(
        "This file is a PHP script.\n\nDo you want to load the HTML it prints instead of the "
        "script?");
    const QString counted = QStringLiteral(
        "2 parts of the script were left out or stand as {{\u2026}}.\n\nquillomatic-convert "
        "--to html lists each of them with its line.");
    Window window;
    ModalAnswers answers;
    answers.ThenPick(script).ThenPress(1).ThenPress(1);
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageTexts(), (QStringList{question, counted}));
    // The box shows every line end as CR LF.
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>caf\u00E9 {{$x}}</p>\r\n"));

    // "No" loads the script as it is, once the HTML box may be emptied.
    answers.ThenPick(script).ThenPress(2).ThenPress(1);
    window.Click("cmdLoadFromFile");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageTexts().mid(2), (QStringList{question, kErase}));
    const QByteArray asText =
        QByteArray::fromStdString(
            quillomatic::TextOf(source.toStdString(), quillomatic::TextEncoding::Windows1252))
            .replace("\n", "\r\n");
    QCOMPARE(window.txtHTML()->Text().toUtf8(), asText);

    // Named at start, the same question; a script of ours gives its page
    // back without a count.
    WriteFile(PathOf(QStringLiteral("ours.asp")),
              CompanionScript("asp", PathOf(QStringLiteral("page.php"))));
    answers.ThenPress(1).ThenPress(1);
    window.form.OpenPage(PathOf(QStringLiteral("ours.asp")));
    QVERIFY(answers.AllAnswered());
    QCOMPARE(answers.MessageTexts().mid(4),
             (QStringList{QStringLiteral("This file is an ASP script.\n\nDo you want to load the "
                                         "HTML it prints instead of the script?"),
                          kErase}));
    QCOMPARE(window.txtHTML()->Text().toUtf8(), asText);
}

void frmMainTest::QuitAnsweredNoKeepsEverything() {
    Window window;
    ModalAnswers answers;
    window.Type(QStringLiteral("<p>"));
    window.ClickView(4);
    window.ClickView(1);
    window.Type(QStringLiteral("!"));
    const QString script = window.txtScriptSource()->Text();

    answers.ThenPress(2);
    window.Click("cmdClose");
    QCOMPARE(answers.MessageTexts(), QStringList{kQuit});
    const auto& question = answers.Messages().first();
    QCOMPARE(question.Caption1, QStringLiteral("Yes"));
    QCOMPARE(question.Caption2, QStringLiteral("No"));
    QCOMPARE(question.Title, QStringLiteral("Quillomatic"));
    QVERIFY(window.form.isVisible());
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("<p>!"));
    QVERIFY(!window.cmdConvertNow()->Disabled());
    QVERIFY(window.htmlPage()->isVisible());
    QCOMPARE(window.txtScriptSource()->Text(), script);
}

void frmMainTest::QuitAskedForEveryCloseRequest() {
    Window window;
    ModalAnswers answers;
    answers.ThenPress(2);
    // A close request from the window system, not from the title bar.
    QVERIFY(!window.form.close());
    QCOMPARE(answers.MessageTexts(), QStringList{kQuit});
    QVERIFY(window.form.isVisible());
}

void frmMainTest::QuitAnsweredYesEndsTheProgram() {
    auto window = std::make_unique<Window>();
    ModalAnswers answers;
    answers.ThenPress(1);
    QTimer::singleShot(0, [&] { window->Click("cmdClose"); });
    // If "Yes" did not end the program, the event loop would run on.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(answers.MessageTexts(), QStringList{kQuit});
    QVERIFY(!window->form.isVisible());
    QVERIFY(!window->MessageBox()->isVisible());
    for (QWidget* top : QApplication::topLevelWidgets()) {
        QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
    }
}

void frmMainTest::MinimiseButtonMinimises() {
    Window window;
    window.Click("cmdMinimize");
    QVERIFY(window.form.windowState() & Qt::WindowMinimized);
}

void frmMainTest::AboutBoxOpensModallyAndCloses() {
    Window window;
    window.txtHTML()->setFocus();
    QString seenName;
    QString typedMeanwhile;
    ModalAnswers answers;
    answers.Then([&](QWidget* about) {
        seenName = about->objectName();
        // A key for the main window, through the window system: the modal box blocks it.
        QTest::keyClick(window.form.windowHandle(), Qt::Key_X);
        typedMeanwhile = window.txtHTML()->Text();
        QTest::mouseClick(about->findChild<QWidget*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    window.Click("cmdAbout");
    QVERIFY(answers.AllAnswered());
    QCOMPARE(seenName, QStringLiteral("frmAbout"));
    QCOMPARE(typedMeanwhile, QString());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!window.form.findChild<QWidget*>(QStringLiteral("frmAbout")));
    // Once it is closed, the same key reaches the window again.
    window.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window.form));
    window.txtHTML()->setFocus();
    QTest::keyClick(window.form.windowHandle(), Qt::Key_X);
    QCOMPARE(window.txtHTML()->Text(), QStringLiteral("x"));
}

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
