// The controls of the main window, placed as the window shows them at start.
#include "frmMainLayout.h"

#include "CommandButton.h"
#include "DragBar.h"
#include "EngineText.h"
#include "FileDialog.h"
#include "Fonts.h"
#include "Pictures.h"
#include "ScriptViews.h"
#include "Shape.h"
#include "TextBox.h"
#include "TitleBarButton.h"
#include "Toolbar.h"
#include "ToolbarButton.h"
#include "Twips.h"

#include <QDir>
#include <QLabel>

namespace quillomatic {
namespace {

const CommandButtonColours kCommandButtonColours{
    .BackColor = QColor(0xDB, 0xD8, 0xD1),
    .BackColorOver = QColor(0xB6, 0xBD, 0xD2),
    .BackColorDown = QColor(0x85, 0x92, 0xB5),
    .BackColorIcon = QColor(0xDB, 0xD8, 0xD1),
    .BackColorIconOver = QColor(0xB6, 0xBD, 0xD2),
    .BackColorIconDown = QColor(0x85, 0x92, 0xB5),
    .BorderColorOver = QColor(0x0A, 0x24, 0x6A),
    .BorderColorDown = QColor(0x0A, 0x24, 0x6A),
    .CheckedColor = QColor(0xD5, 0xD7, 0xD8),
};

QColor HighlightColour() {
    return QPalette().color(QPalette::Highlight);
}

TitleBarButton* MakeTitleBarButton(QWidget* parent, const char* name, const QString& caption,
                                   QRect geometry) {
    auto* button = new TitleBarButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->SetCaption(caption);
    button->setFont(Fonts::Silkscreen(6.75));
    button->SetForeColorOver(HighlightColour());
    button->SetShowFocusRect(false);
    button->SetScaleSize({17, 17});
    button->setGeometry(geometry);
    return button;
}

CommandButton* MakeCommandButton(QWidget* parent, const char* name, const QString& caption,
                                 const QIcon& icon, QRect geometry) {
    auto* button = new CommandButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->SetCaption(caption);
    button->setIcon(icon);
    button->SetIconSize(32, 32);
    button->SetColours(kCommandButtonColours);
    button->setFont(Fonts::Verdana(8.25));
    button->setGeometry(geometry);
    return button;
}

TextBox* MakeTextBox(QWidget* parent, const char* name, QRect geometry) {
    auto* box = new TextBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(Fonts::Courier(9.75));
    box->setGeometry(geometry);
    return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    return label;
}

} // namespace

const QString frmMainLayout::kHTMLFilter = QStringLiteral(
    "HTML Files (*.HTM; *.HTML)|* .HTM, *.HTML|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");

frmMainLayout::frmMainLayout(QWidget* owner) : Form(Twips::Rect(0, 0, 7170, 4890).size(), owner) {
    setObjectName(QStringLiteral("frmMain"));
    setFont(Fonts::Verdana(8.25));
    const QIcon applicationIcon = Pictures::Icon(QStringLiteral(":/pictures/AppIcon.svg"),
                                                 QStringLiteral(":/pictures/AppIcon16.svg"));
    const QIcon arrowIcon = Pictures::Icon(QStringLiteral(":/pictures/AppIconArrow.svg"));
    setWindowIcon(applicationIcon);

    cmdAbout =
        MakeTitleBarButton(this, "cmdAbout", QStringLiteral("?"), Twips::Rect(6480, 0, 255, 255));

    cdg = new FileDialog(this);
    cdg->setObjectName(QStringLiteral("cdg"));
    cdg->SetDialogTitle(QStringLiteral("Load HTML"));
    cdg->SetFilter(kHTMLFilter);
    cdg->SetFontName(QStringLiteral("Verdana"));
    // Until a file is picked, the dialogs open in the folder the program was
    // started from, which stays its current folder.
    cdg->SetInitDir(QDir::currentPath());

    xtTab = new Toolbar(this);
    xtTab->setObjectName(QStringLiteral("xtTab"));
    xtTab->setGeometry(Twips::Rect(0, 240, 7095, 735));
    xtTab->setFont(Fonts::Verdana(8.25));
    xtTab->SetToolTipFont(Fonts::Verdana(8.25));
    xtTab->SetButtonGap(4);
    xtTab->SetBorderStyle(0);
    xtTab->SetAppearance(1);
    xtTab->SetTitle(QStringLiteral("xToolbar"));
    xtTab->AddButton(QStringLiteral(" HTML"), QStringLiteral("HTML"), QStringLiteral("HTML"),
                     QStringLiteral(":/pictures/ToolbarHTML.svg"));
    for (const ScriptView& view : kScriptViews) {
        xtTab->AddButton(EngineText::ToWindow(view.ButtonCaption), EngineText::ToWindow(view.Key),
                         EngineText::ToWindow(view.ToolTipText), EngineText::ToWindow(view.Picture),
                         view.WhiteIsTransparent ? std::optional<QColor>(Qt::white) : std::nullopt);
    }

    cmdClose =
        MakeTitleBarButton(this, "cmdClose", QStringLiteral("X"), Twips::Rect(6960, 0, 255, 255));
    cmdMinimize = MakeTitleBarButton(this, "cmdMinimize", QStringLiteral("-"),
                                     Twips::Rect(6720, 0, 255, 255));

    tdbTitle = MakeTitleBar(7215);

    // The HTML page.
    fra[0] = new QWidget(this);
    fra[0]->setObjectName(QStringLiteral("fra0"));
    fra[0]->setGeometry(Twips::Rect(120, 1200, 6975, 3615));
    cmdLoadFromFile =
        MakeCommandButton(fra[0], "cmdLoadFromFile", QStringLiteral("Load HTML from a file"),
                          arrowIcon, Twips::Rect(0, 3000, 3015, 615));
    cmdConvertNow = MakeCommandButton(fra[0], "cmdConvertNow", QStringLiteral("Convert HTML now!"),
                                      applicationIcon, Twips::Rect(3840, 3000, 3015, 615));
    cmdConvertNow->SetDisabled(true);
    txtHTML = MakeTextBox(fra[0], "txtHTML", Twips::Rect(0, 360, 6855, 2535));
    Label1 = MakeLabel(fra[0], "Label1", QStringLiteral("Insert your HTML into the box below:"),
                       Twips::Rect(0, 0, 5895, 255));

    // The script page.
    fra[1] = new QWidget(this);
    fra[1]->setObjectName(QStringLiteral("fra1"));
    fra[1]->setGeometry(Twips::Rect(120, 1200, 6975, 3615));
    txtScriptSource = MakeTextBox(fra[1], "txtScriptSource", Twips::Rect(0, 360, 6975, 2535));
    cmdCopy = MakeCommandButton(fra[1], "cmdCopy", QStringLiteral("Copy All"), arrowIcon,
                                Twips::Rect(0, 3000, 2175, 615));
    cmdSave = MakeCommandButton(fra[1], "cmdSave", QStringLiteral("Save to File"), arrowIcon,
                                Twips::Rect(2340, 3000, 2295, 615));
    cmdReset = MakeCommandButton(fra[1], "cmdReset", QStringLiteral("Reset HTML"), arrowIcon,
                                 Twips::Rect(4800, 3000, 2175, 615));
    lblScriptName = MakeLabel(fra[1], "lblScriptName", {}, Twips::Rect(0, 0, 6855, 255));
    QPalette highlighted = lblScriptName->palette();
    highlighted.setColor(QPalette::WindowText, HighlightColour());
    lblScriptName->setPalette(highlighted);

    Line1 = new Shape(Shape::Kind::Line, this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(QRect(QPoint(Twips::ToPixels(0), Twips::ToPixels(1080)),
                             QPoint(Twips::ToPixels(7200), Twips::ToPixels(1080))));
    Line1->SetColor(HighlightColour());

    // What a screen reader says for the controls whose captions are symbols,
    // codes or nothing at all.
    cmdAbout->setAccessibleName(QStringLiteral("About Quillomatic"));
    cmdMinimize->setAccessibleName(QStringLiteral("Minimize"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    xtTab->setAccessibleName(QStringLiteral("Formats"));
    xtTab->Button(kHTMLButton)->setAccessibleName(QStringLiteral("HTML page"));
    for (std::size_t row = 0; row < kScriptViews.size(); ++row) {
        xtTab->Button(ButtonOfRow(row))
            ->setAccessibleName(EngineText::ToWindow(kScriptViews[row].Format->Name));
    }
    txtHTML->setAccessibleName(QStringLiteral("HTML"));
    txtScriptSource->setAccessibleName(QStringLiteral("Script source"));
    fra[0]->setAccessibleName(QStringLiteral("HTML page"));
    fra[1]->setAccessibleName(QStringLiteral("Script page"));

    // The title bar lies over the toolbar's top row, its buttons over the bar.
    tdbTitle->raise();
    cmdMinimize->raise();
    cmdClose->raise();
    cmdAbout->raise();

    // Keyboard order: the title-bar buttons, each page top to bottom, "?",
    // then the format toolbar.
    QWidget* const tabOrder[] = {cmdMinimize,     cmdClose, txtHTML, cmdLoadFromFile, cmdConvertNow,
                                 txtScriptSource, cmdCopy,  cmdSave, cmdReset,        cmdAbout};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    QWidget* previous = cmdAbout;
    for (qint16 position = 1; position <= xtTab->ButtonCount(); ++position) {
        setTabOrder(previous, xtTab->Button(position));
        previous = xtTab->Button(position);
    }
}

} // namespace quillomatic
