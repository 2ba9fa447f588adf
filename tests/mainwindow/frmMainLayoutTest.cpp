// Tests of the main window's layout: each control's place, caption, font and settings at start.
#include "CommandButton.h"
#include "DragBar.h"
#include "FileDialog.h"
#include "Shape.h"
#include "TextBox.h"
#include "TitleBarButton.h"
#include "Toolbar.h"
#include "ToolbarButton.h"
#include "frmMain.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <memory>

using quillomatic::CommandButton;
using quillomatic::DragBar;
using quillomatic::FileDialog;
using quillomatic::frmMain;
using quillomatic::Shape;
using quillomatic::TextBox;
using quillomatic::TitleBarButton;
using quillomatic::Toolbar;
using quillomatic::ToolbarButton;

namespace {

const QString kHTMLFilter = QStringLiteral(
    "HTML Files (*.HTM; *.HTML)|* .HTM, *.HTML|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");

// What a control shows as its caption, whatever kind of control it is.
QString CaptionOf(QWidget* control) {
    if (const auto* bar = qobject_cast<const DragBar*>(control)) {
        return bar->Caption();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (auto* box = qobject_cast<TextBox*>(control)) {
        return box->Text();
    }
    return QStringLiteral("<no caption>");
}

QImage IconImage(const QIcon& icon) {
    return icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The names of the controls that Tab can reach, in focus chain order from `start`.
QStringList FocusChainFrom(QWidget* start) {
    QStringList names;
    QWidget* each = start;
    do {
        if (each->window() == start->window() && (each->focusPolicy() & Qt::TabFocus) &&
            each->isEnabled()) {
            names.append(each->objectName());
        }
        each = each->nextInFocusChain();
    } while (each != start && names.size() < 100);
    return names;
}

} // namespace

class frmMainLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsStandWhereTheLayoutPutsThem_data();
    void controlsStandWhereTheLayoutPutsThem();
    void titleBarButtonsLieOnTopOfTheBar();
    void captions_data();
    void captions();
    void fonts_data();
    void fonts();
    void focusChainFollowsTheTabOrder_data();
    void focusChainFollowsTheTabOrder();
    void tabKeyVisitsTheShownControlsInOrder();
    void toolbarButtons_data();
    void toolbarButtons();
    void toolbarSettingsAndSpacing();
    void commandButtonsIconsAndColours_data();
    void commandButtonsIconsAndColours();
    void highlightColouredLineAndLabel();
    void fileDialogSettings();
    void windowIsBorderlessAndOfFixedSize();
    void textBoxesScrollBothWaysWithoutWrapping_data();
    void textBoxesScrollBothWaysWithoutWrapping();
    void startsEmptyWithConvertDisabled();
    void loadShowsTheHTMLPageAndTheTitle();

private:
    // The control `name` held directly by `parent` (the window when empty).
    template <typename T = QWidget> T* Control(const QString& name, const QString& parent = {});

    std::unique_ptr<frmMain> m_Window;
};

template <typename T> T* frmMainLayoutTest::Control(const QString& name, const QString& parent) {
    QWidget* holder = parent.isEmpty()
                          ? m_Window.get()
                          : m_Window->findChild<QWidget*>(parent, Qt::FindDirectChildrenOnly);
    return holder ? holder->findChild<T*>(name, Qt::FindDirectChildrenOnly) : nullptr;
}

void frmMainLayoutTest::init() {
    m_Window = std::make_unique<frmMain>();
}

void frmMainLayoutTest::cleanup() {
    m_Window.reset();
}

void frmMainLayoutTest::controlsStandWhereTheLayoutPutsThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    // Twips of the layout divided by 15, rounded; relative to the holder.
    const QString window;
    const QString html = QStringLiteral("fra0");
    const QString script = QStringLiteral("fra1");
    QTest::newRow("cmdAbout") << QStringLiteral("cmdAbout") << window << QRect(432, 0, 17, 17);
    QTest::newRow("xtTab") << QStringLiteral("xtTab") << window << QRect(0, 16, 473, 49);
    QTest::newRow("cmdClose") << QStringLiteral("cmdClose") << window << QRect(464, 0, 17, 17);
    QTest::newRow("cmdMinimize") << QStringLiteral("cmdMinimize") << window
                                 << QRect(448, 0, 17, 17);
    QTest::newRow("tdbTitle") << QStringLiteral("tdbTitle") << window << QRect(0, 0, 481, 17);
    QTest::newRow("fra0") << html << window << QRect(8, 80, 465, 241);
    QTest::newRow("cmdLoadFromFile")
        << QStringLiteral("cmdLoadFromFile") << html << QRect(0, 200, 201, 41);
    QTest::newRow("cmdConvertNow")
        << QStringLiteral("cmdConvertNow") << html << QRect(256, 200, 201, 41);
    QTest::newRow("txtHTML") << QStringLiteral("txtHTML") << html << QRect(0, 24, 457, 169);
    QTest::newRow("Label1") << QStringLiteral("Label1") << html << QRect(0, 0, 393, 17);
    QTest::newRow("fra1") << script << window << QRect(8, 80, 465, 241);
    QTest::newRow("txtScriptSource")
        << QStringLiteral("txtScriptSource") << script << QRect(0, 24, 465, 169);
    QTest::newRow("cmdCopy") << QStringLiteral("cmdCopy") << script << QRect(0, 200, 145, 41);
    QTest::newRow("cmdSave") << QStringLiteral("cmdSave") << script << QRect(156, 200, 153, 41);
    QTest::newRow("cmdReset") << QStringLiteral("cmdReset") << script << QRect(320, 200, 145, 41);
    QTest::newRow("lblScriptName")
        << QStringLiteral("lblScriptName") << script << QRect(0, 0, 457, 17);
    QTest::newRow("Line1, row 72 from 0 to 480")
        << QStringLiteral("Line1") << window << QRect(QPoint(0, 72), QPoint(480, 72));
}

void frmMainLayoutTest::controlsStandWhereTheLayoutPutsThem() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    // Loading shows the window; nothing moves a control then.
    m_Window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));

    const QWidget* control = Control(name, parent);
    QVERIFY2(control, qPrintable(QStringLiteral("%1 is not held by %2").arg(name, parent)));
    QCOMPARE(control->geometry(), geometry);
}

void frmMainLayoutTest::titleBarButtonsLieOnTopOfTheBar() {
    m_Window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));

    // "?", "-" and "X" from left to right, each clickable where it is drawn.
    QStringList leftToRight;
    for (int x = 0; x < m_Window->width(); ++x) {
        if (const auto* button = qobject_cast<TitleBarButton*>(m_Window->childAt(x, 8))) {
            if (leftToRight.isEmpty() || leftToRight.last() != button->text()) {
                leftToRight.append(button->text());
            }
        }
    }
    QCOMPARE(leftToRight,
             (QStringList{QStringLiteral("?"), QStringLiteral("-"), QStringLiteral("X")}));
    // The bar holds the top 17 rows, over the toolbar's top edge.
    QCOMPARE(m_Window->childAt(100, 16), Control(QStringLiteral("tdbTitle")));
    QCOMPARE(m_Window->childAt(2, 0), Control(QStringLiteral("tdbTitle")));
    QVERIFY(qobject_cast<ToolbarButton*>(m_Window->childAt(10, 40)));
}

void frmMainLayoutTest::captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("caption");
    const QString window;
    const QString html = QStringLiteral("fra0");
    const QString script = QStringLiteral("fra1");
    QTest::newRow("cmdAbout") << QStringLiteral("cmdAbout") << window << QStringLiteral("?");
    QTest::newRow("cmdClose") << QStringLiteral("cmdClose") << window << QStringLiteral("X");
    QTest::newRow("cmdMinimize") << QStringLiteral("cmdMinimize") << window << QStringLiteral("-");
    QTest::newRow("tdbTitle, empty until loaded")
        << QStringLiteral("tdbTitle") << window << QString();
    QTest::newRow("cmdLoadFromFile")
        << QStringLiteral("cmdLoadFromFile") << html << QStringLiteral("Load HTML from a file");
    QTest::newRow("cmdConvertNow")
        << QStringLiteral("cmdConvertNow") << html << QStringLiteral("Convert HTML now!");
    QTest::newRow("txtHTML") << QStringLiteral("txtHTML") << html << QString();
    QTest::newRow("Label1") << QStringLiteral("Label1") << html
                            << QStringLiteral("Insert your HTML into the box below:");
    QTest::newRow("txtScriptSource") << QStringLiteral("txtScriptSource") << script << QString();
    QTest::newRow("cmdCopy") << QStringLiteral("cmdCopy") << script << QStringLiteral("Copy All");
    QTest::newRow("cmdSave") << QStringLiteral("cmdSave") << script
                             << QStringLiteral("Save to File");
    QTest::newRow("cmdReset") << QStringLiteral("cmdReset") << script
                              << QStringLiteral("Reset HTML");
    QTest::newRow("lblScriptName") << QStringLiteral("lblScriptName") << script << QString();
}

void frmMainLayoutTest::captions() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, caption);
    QWidget* control = Control(name, parent);
    QVERIFY(control);
    QCOMPARE(CaptionOf(control), caption);
}

void frmMainLayoutTest::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<bool>("bold");
    const QString window;
    const QString html = QStringLiteral("fra0");
    const QString script = QStringLiteral("fra1");
    const QString verdana = QStringLiteral("Verdana");
    const QString courier = QStringLiteral("Courier");
    const QString silkscreen = QStringLiteral("Silkscreen");
    // Silkscreen itself is regular; the plain face standing in for it is bold.
    const bool standInBold = !QFontDatabase::hasFamily(silkscreen);
    QTest::newRow("the window") << QString() << window << verdana << 8.25 << false;
    QTest::newRow("cmdAbout") << QStringLiteral("cmdAbout") << window << silkscreen << 6.75
                              << standInBold;
    QTest::newRow("cmdClose") << QStringLiteral("cmdClose") << window << silkscreen << 6.75
                              << standInBold;
    QTest::newRow("cmdMinimize") << QStringLiteral("cmdMinimize") << window << silkscreen << 6.75
                                 << standInBold;
    QTest::newRow("xtTab") << QStringLiteral("xtTab") << window << verdana << 8.25 << false;
    QTest::newRow("xtTab's first button")
        << QStringLiteral("xtTabButton1") << QStringLiteral("xtTab") << verdana << 8.25 << false;
    QTest::newRow("tdbTitle") << QStringLiteral("tdbTitle") << window << verdana << 8.25 << true;
    QTest::newRow("cmdLoadFromFile")
        << QStringLiteral("cmdLoadFromFile") << html << verdana << 8.25 << false;
    QTest::newRow("cmdConvertNow")
        << QStringLiteral("cmdConvertNow") << html << verdana << 8.25 << false;
    QTest::newRow("txtHTML") << QStringLiteral("txtHTML") << html << courier << 9.75 << false;
    QTest::newRow("Label1") << QStringLiteral("Label1") << html << verdana << 8.25 << false;
    QTest::newRow("txtScriptSource")
        << QStringLiteral("txtScriptSource") << script << courier << 9.75 << false;
    QTest::newRow("cmdCopy") << QStringLiteral("cmdCopy") << script << verdana << 8.25 << false;
    QTest::newRow("cmdSave") << QStringLiteral("cmdSave") << script << verdana << 8.25 << false;
    QTest::newRow("cmdReset") << QStringLiteral("cmdReset") << script << verdana << 8.25 << false;
    QTest::newRow("lblScriptName")
        << QStringLiteral("lblScriptName") << script << verdana << 8.25 << false;
}

void frmMainLayoutTest::fonts() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QString, family);
    QFETCH(qreal, pointSize);
    QFETCH(bool, bold);
    const QWidget* control = name.isEmpty() ? m_Window.get() : Control(name, parent);
    QVERIFY(control);
    QCOMPARE(control->font().families().value(0), family);
    QCOMPARE(control->font().pointSizeF(), pointSize);
    QCOMPARE(control->font().bold(), bold);
    QCOMPARE(control->font().italic(), false);
    QCOMPARE(control->font().underline(), false);
}

void frmMainLayoutTest::focusChainFollowsTheTabOrder_data() {
    QTest::addColumn<bool>("htmlTyped");
    const QStringList toolbar{QStringLiteral("xtTabButton1"), QStringLiteral("xtTabButton2"),
                              QStringLiteral("xtTabButton3"), QStringLiteral("xtTabButton4"),
                              QStringLiteral("xtTabButton5"), QStringLiteral("xtTabButton6")};
    QTest::addColumn<QStringList>("order");
    QTest::newRow("at start, Convert disabled")
        << false
        << QStringList{QStringLiteral("cmdMinimize"),     QStringLiteral("cmdClose"),
                       QStringLiteral("txtHTML"),         QStringLiteral("cmdLoadFromFile"),
                       QStringLiteral("txtScriptSource"), QStringLiteral("cmdCopy"),
                       QStringLiteral("cmdSave"),         QStringLiteral("cmdReset"),
                       QStringLiteral("cmdAbout")} +
               toolbar;
    QTest::newRow("HTML typed, Convert enabled")
        << true
        << QStringList{QStringLiteral("cmdMinimize"),   QStringLiteral("cmdClose"),
                       QStringLiteral("txtHTML"),       QStringLiteral("cmdLoadFromFile"),
                       QStringLiteral("cmdConvertNow"), QStringLiteral("txtScriptSource"),
                       QStringLiteral("cmdCopy"),       QStringLiteral("cmdSave"),
                       QStringLiteral("cmdReset"),      QStringLiteral("cmdAbout")} +
               toolbar;
}

void frmMainLayoutTest::focusChainFollowsTheTabOrder() {
    QFETCH(bool, htmlTyped);
    QFETCH(QStringList, order);
    m_Window->Form_Load();
    if (htmlTyped) {
        Control<TextBox>(QStringLiteral("txtHTML"), QStringLiteral("fra0"))
            ->SetText(QStringLiteral("<p>"));
    }
    QCOMPARE(FocusChainFrom(Control(QStringLiteral("cmdMinimize"))), order);
}

void frmMainLayoutTest::tabKeyVisitsTheShownControlsInOrder() {
    m_Window->Form_Load();
    m_Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_Window.get()));
    QWidget* const start = Control(QStringLiteral("cmdMinimize"));
    start->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), start);

    // Only the HTML page shows: the script page's controls are passed over.
    QStringList visited{start->objectName()};
    for (int i = 0; i < 11; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, (QStringList{QStringLiteral("cmdMinimize"), QStringLiteral("cmdClose"),
                                   QStringLiteral("txtHTML"), QStringLiteral("cmdLoadFromFile"),
                                   QStringLiteral("cmdAbout"), QStringLiteral("xtTabButton1"),
                                   QStringLiteral("xtTabButton2"), QStringLiteral("xtTabButton3"),
                                   QStringLiteral("xtTabButton4"), QStringLiteral("xtTabButton5"),
                                   QStringLiteral("xtTabButton6"), QStringLiteral("cmdMinimize")}));
}

void frmMainLayoutTest::toolbarButtons_data() {
    QTest::addColumn<qint16>("position");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QColor>("mask"); // invalid: no mask
    const QColor white(Qt::white);
    QTest::newRow("1, HTML") << qint16{1} << QStringLiteral(" HTML") << QStringLiteral("HTML")
                             << QSize(20, 23) << QColor();
    QTest::newRow("2, ASP") << qint16{2} << QStringLiteral("ASP") << QStringLiteral("ASP")
                            << QSize(34, 14) << white;
    QTest::newRow("3, JS") << qint16{3} << QStringLiteral("JS") << QStringLiteral("javalogo52x88")
                           << QSize(32, 32) << white;
    QTest::newRow("4, PHP") << qint16{4} << QStringLiteral("PHP") << QStringLiteral("PHP")
                            << QSize(34, 18) << white;
    QTest::newRow("5, JSP") << qint16{5} << QStringLiteral("JSP") << QStringLiteral("JavaCup")
                            << QSize(32, 32) << QColor();
    QTest::newRow("6, Perl") << qint16{6} << QStringLiteral("Perl") << QStringLiteral("Perl")
                             << QSize(29, 32) << white;
}

void frmMainLayoutTest::toolbarButtons() {
    QFETCH(qint16, position);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    QFETCH(QSize, pictureSize);
    QFETCH(QColor, mask);
    const auto* toolbar = Control<Toolbar>(QStringLiteral("xtTab"));
    QVERIFY(toolbar);
    const ToolbarButton* button = toolbar->Button(position);
    QVERIFY(button);

    QCOMPARE(button->objectName(), QStringLiteral("xtTabButton%1").arg(position));
    QCOMPARE(button->Caption(), caption);
    QCOMPARE(button->Key(), key);
    QCOMPARE(button->toolTip(), key);
    QCOMPARE(button->PictureSize(), pictureSize);
    QCOMPARE(button->MaskColor().value_or(QColor()), mask);
}

void frmMainLayoutTest::toolbarSettingsAndSpacing() {
    const auto* toolbar = Control<Toolbar>(QStringLiteral("xtTab"));
    QVERIFY(toolbar);
    QCOMPARE(toolbar->ButtonCount(), qint16{6});
    QCOMPARE(toolbar->ButtonGap(), qint16{4});
    QCOMPARE(toolbar->BorderStyle(), 0);
    QCOMPARE(toolbar->Appearance(), 1);
    QCOMPARE(toolbar->Title(), QStringLiteral("xToolbar"));
    QCOMPARE(toolbar->ToolTipFont().families().value(0), QStringLiteral("Verdana"));
    QCOMPARE(toolbar->ToolTipFont().pointSizeF(), 8.25);

    // Left to right, 4 pixels apart, all on the bar.
    for (qint16 position = 1; position <= 6; ++position) {
        const QRect button = toolbar->Button(position)->geometry();
        QVERIFY(toolbar->rect().contains(button));
        if (position > 1) {
            const QRect previous = toolbar->Button(static_cast<qint16>(position - 1))->geometry();
            QCOMPARE(button.left() - previous.right() - 1, 4);
        }
    }
}

void frmMainLayoutTest::commandButtonsIconsAndColours_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<bool>("applicationIcon");
    const QString html = QStringLiteral("fra0");
    const QString script = QStringLiteral("fra1");
    QTest::newRow("cmdLoadFromFile") << QStringLiteral("cmdLoadFromFile") << html << false;
    QTest::newRow("cmdConvertNow") << QStringLiteral("cmdConvertNow") << html << true;
    QTest::newRow("cmdCopy") << QStringLiteral("cmdCopy") << script << false;
    QTest::newRow("cmdSave") << QStringLiteral("cmdSave") << script << false;
    QTest::newRow("cmdReset") << QStringLiteral("cmdReset") << script << false;
}

void frmMainLayoutTest::commandButtonsIconsAndColours() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(bool, applicationIcon);
    const auto* button = Control<CommandButton>(name, parent);
    QVERIFY(button);

    const QImage applicationImage = IconImage(m_Window->windowIcon());
    // The second icon: the same picture with an arrow, shared by four buttons.
    const QImage secondImage = IconImage(
        Control<CommandButton>(QStringLiteral("cmdLoadFromFile"), QStringLiteral("fra0"))->icon());
    QVERIFY(!applicationImage.isNull());
    QVERIFY(applicationImage != secondImage);
    QCOMPARE(IconImage(button->icon()), applicationIcon ? applicationImage : secondImage);
    QCOMPARE(button->iconSize(), QSize(32, 32));

    const auto& colours = button->Colours();
    QCOMPARE(colours.BackColor, QColor(0xDB, 0xD8, 0xD1));
    QCOMPARE(colours.BackColorIcon, QColor(0xDB, 0xD8, 0xD1));
    QCOMPARE(colours.BackColorOver, QColor(0xB6, 0xBD, 0xD2));
    QCOMPARE(colours.BackColorIconOver, QColor(0xB6, 0xBD, 0xD2));
    QCOMPARE(colours.BackColorDown, QColor(0x85, 0x92, 0xB5));
    QCOMPARE(colours.BackColorIconDown, QColor(0x85, 0x92, 0xB5));
    QCOMPARE(colours.BorderColorOver, QColor(0x0A, 0x24, 0x6A));
    QCOMPARE(colours.BorderColorDown, QColor(0x0A, 0x24, 0x6A));
    QCOMPARE(colours.CheckedColor, QColor(0xD5, 0xD7, 0xD8));
}

void frmMainLayoutTest::highlightColouredLineAndLabel() {
    const QColor highlight = QPalette().color(QPalette::Highlight);
    QVERIFY(highlight != QPalette().color(QPalette::WindowText));

    const auto* line = Control<Shape>(QStringLiteral("Line1"));
    const auto* label = Control<QLabel>(QStringLiteral("lblScriptName"), QStringLiteral("fra1"));
    const auto* title = Control<DragBar>(QStringLiteral("tdbTitle"));
    QVERIFY(line && label && title);
    QCOMPARE(line->Color(), highlight);
    QCOMPARE(label->palette().color(QPalette::WindowText), highlight);
    QCOMPARE(title->ForeColor(), QColor(Qt::white));
    for (const char* name : {"cmdAbout", "cmdMinimize", "cmdClose"}) {
        const auto* button = Control<TitleBarButton>(QString::fromLatin1(name));
        QVERIFY(button);
        QCOMPARE(button->ForeColorOver(), highlight);
        QCOMPARE(button->ShowFocusRect(), false);
    }
}

void frmMainLayoutTest::fileDialogSettings() {
    const auto* dialog = m_Window->findChild<FileDialog*>(QStringLiteral("cdg"));
    QVERIFY(dialog);
    QCOMPARE(dialog->DialogTitle(), QStringLiteral("Load HTML"));
    QCOMPARE(dialog->Filter(), kHTMLFilter);
    QCOMPARE(dialog->FontName(), QStringLiteral("Verdana"));
    QCOMPARE(dialog->FileName(), QString());

    m_Window->Form_Load();
    QCOMPARE(dialog->DialogTitle(), QStringLiteral("Load HTML"));
    QCOMPARE(dialog->Filter(), kHTMLFilter);
}

void frmMainLayoutTest::windowIsBorderlessAndOfFixedSize() {
    m_Window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));
    QCOMPARE(m_Window->size(), QSize(478, 326));
    QCOMPARE(m_Window->minimumSize(), QSize(478, 326));
    QCOMPARE(m_Window->maximumSize(), QSize(478, 326));
    QVERIFY(m_Window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(m_Window->isWindow());
    // The title shows only in the drawn bar.
    QCOMPARE(m_Window->windowTitle(), QString());
    QVERIFY(!m_Window->windowIcon().isNull());
}

void frmMainLayoutTest::textBoxesScrollBothWaysWithoutWrapping_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::newRow("txtHTML") << QStringLiteral("txtHTML") << QStringLiteral("fra0");
    QTest::newRow("txtScriptSource") << QStringLiteral("txtScriptSource") << QStringLiteral("fra1");
}

void frmMainLayoutTest::textBoxesScrollBothWaysWithoutWrapping() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    auto* box = Control<TextBox>(name, parent);
    QVERIFY(box);
    m_Window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));
    box->parentWidget()->show();

    QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Even empty, both bars show; a long line stays one line.
    QVERIFY(box->horizontalScrollBar()->isVisible());
    QVERIFY(box->verticalScrollBar()->isVisible());
    box->SetText(QString(400, QLatin1Char('x')));
    QCOMPARE(box->document()->lineCount(), 1);
    QVERIFY(box->horizontalScrollBar()->maximum() > 0);
}

void frmMainLayoutTest::startsEmptyWithConvertDisabled() {
    const auto* convert =
        Control<CommandButton>(QStringLiteral("cmdConvertNow"), QStringLiteral("fra0"));
    auto* html = Control<TextBox>(QStringLiteral("txtHTML"), QStringLiteral("fra0"));
    auto* script = Control<TextBox>(QStringLiteral("txtScriptSource"), QStringLiteral("fra1"));
    QVERIFY(convert && html && script);

    for (const bool loaded : {false, true}) {
        if (loaded) {
            m_Window->Form_Load();
        }
        QVERIFY(convert->Disabled());
        QVERIFY(!convert->isEnabled());
        QCOMPARE(html->Text(), QString());
        QCOMPARE(script->Text(), QString());
    }
}

void frmMainLayoutTest::loadShowsTheHTMLPageAndTheTitle() {
    auto* htmlPage = Control(QStringLiteral("fra0"));
    auto* scriptPage = Control(QStringLiteral("fra1"));
    const auto* title = Control<DragBar>(QStringLiteral("tdbTitle"));
    QVERIFY(htmlPage && scriptPage && title);
    QCOMPARE(title->Caption(), QString());

    m_Window->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_Window.get()));

    QVERIFY(m_Window->isVisible());
    QCOMPARE(title->Caption(), QStringLiteral("Quillomatic"));
    // The two pages lie on top of each other; only the HTML page shows.
    QCOMPARE(htmlPage->geometry(), scriptPage->geometry());
    QVERIFY(htmlPage->isVisible());
    QVERIFY(!scriptPage->isVisible());
    QCOMPARE(m_Window->childAt(100, 150),
             Control(QStringLiteral("txtHTML"), QStringLiteral("fra0"))
                 ->findChild<QWidget*>(QStringLiteral("qt_scrollarea_viewport")));
    // Opened centred on the screen.
    const QPoint screenCentre = m_Window->screen()->availableGeometry().center();
    QVERIFY((m_Window->geometry().center() - screenCentre).manhattanLength() <= 2);
    // The message box is loaded, hidden.
    const auto* box = m_Window->findChild<QWidget*>(QStringLiteral("frmError"));
    QVERIFY(box);
    QVERIFY(!box->isVisible());
}

QTEST_MAIN(frmMainLayoutTest)
#include "frmMainLayoutTest.moc"
