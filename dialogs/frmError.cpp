// The program's message box: every question and notice goes through it.
#include "frmError.h"

#include "ApplicationTitle.h"
#include "DragBar.h"
#include "Fonts.h"
#include "Picture.h"
#include "PromptFit.h"
#include "Shape.h"
#include "SystemBeep.h"
#include "Twips.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace quillomatic {

frmError::frmError(QWidget* owner) : Form(Twips::Rect(0, 0, 4335, 2070).size(), owner) {
    setObjectName(QStringLiteral("frmError"));
    setFont(Fonts::Verdana(8.25));

    tdbTitle = MakeTitleBar(4335);

    Shape1 = new Shape(Shape::Kind::Rectangle, this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(Twips::Rect(0, 240, 4335, 1815));
    Shape1->SetColor(palette().color(QPalette::WindowText));

    Image1 = new Picture(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::Rect(240, 667, 480, 480));
    Image1->SetPath(QStringLiteral(":/pictures/Warning.svg"));
    Image1->setAccessibleName(QStringLiteral("Warning"));

    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::Rect(1080, 420, 2895, 975));
    // Prompts hold file names; never read them as markup.
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmd1 = new QPushButton(this);
    cmd1->setObjectName(QStringLiteral("cmd1"));
    cmd1->setGeometry(Twips::Rect(1080, 1560, 1215, 375));
    cmd1->setAutoDefault(true);
    cmd1->setDefault(true);

    cmd2 = new QPushButton(this);
    cmd2->setObjectName(QStringLiteral("cmd2"));
    cmd2->setGeometry(Twips::Rect(2760, 1560, 1215, 375));
    cmd2->setAutoDefault(true);

    setTabOrder(cmd1, cmd2);
    connect(cmd1, &QPushButton::clicked, this, &frmError::cmd1_Click);
    connect(cmd2, &QPushButton::clicked, this, &frmError::cmd2_Click);
}

void frmError::cMsgBox(QString& Text, QString& ButtonCaption1, QString& ButtonCaption2,
                       QString& Title) {
    QString shown = Text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // The label never grows: a long path gives up the start of its folder,
    // so that the file name and the reason after it still show.
    Label1->setText(
        PromptFit::ShortenPaths(shown, Label1->fontMetrics(), Label1->contentsRect().size()));
    if (ButtonCaption1.isEmpty()) {
        ButtonCaption1 = QStringLiteral("OK");
    }
    if (ButtonCaption2.isEmpty()) {
        ButtonCaption2 = QStringLiteral("Cancel");
    }
    cmd1->setText(ButtonCaption1);
    cmd2->setText(ButtonCaption2);
    tdbTitle->SetCaption(Title.isEmpty() ? AppTitle() : Title);
    setWindowTitle(tdbTitle->Caption());
    SystemBeep::Beep();

    if (!m_ShownBefore) {
        CenterOver(parentWidget());
        m_ShownBefore = true;
    }
    m_FocusFirstButtonOnActivation = true;
    cmd1->setFocus(Qt::ActiveWindowFocusReason);
    ShowModal();
}

void frmError::Form_Unload(qint16& Cancel) {
    Cancel = 1;
}

bool frmError::event(QEvent* event) {
    // Focus goes to the first button when the box becomes active for a new
    // question, not when the user merely comes back from another program.
    if (event->type() == QEvent::WindowActivate && m_FocusFirstButtonOnActivation) {
        m_FocusFirstButtonOnActivation = false;
        cmd1->setFocus(Qt::ActiveWindowFocusReason);
    }
    return Form::event(event);
}

void frmError::cmd1_Click() {
    ButtonResult = 1;
    hide();
}

void frmError::cmd2_Click() {
    ButtonResult = 2;
    hide();
}

} // namespace quillomatic
