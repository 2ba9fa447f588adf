// The about box: the program, its maker, the version line and a description.
#include "frmAbout.h"

#include "ApplicationTitle.h"
#include "DragBar.h"
#include "Fonts.h"
#include "Picture.h"
#include "Shape.h"
#include "Twips.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace quillomatic {
namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Labels wrap at word boundaries within their size, as the window's
    // labels always have; what does not fit their height is cut off.
    label->setWordWrap(true);
    return label;
}

QString AddressWithoutScheme() {
    return QString::fromLatin1(frmAbout::kMakerAddress).remove(QStringLiteral("http://"));
}

} // namespace

frmAbout::frmAbout(QWidget* owner) : Form(Twips::Rect(0, 0, 5730, 3180).size(), owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setFont(Fonts::Verdana(8.25));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::Rect(4680, 2640, 975, 375));
    cmdOK->setAutoDefault(true);
    cmdOK->setDefault(true);

    tdbTitle = MakeTitleBar(5775);

    lblHyperLink = MakeLabel(this, "lblHyperLink",
                             QStringLiteral("(%1)").arg(QString::fromLatin1(kMakerAddress)),
                             Twips::Rect(2280, 840, 2655, 255));
    lblHyperLink->setFont(Fonts::Verdana(8.25, false, true));
    QPalette linkPalette = lblHyperLink->palette();
    linkPalette.setColor(QPalette::WindowText, palette().color(QPalette::Highlight));
    lblHyperLink->setPalette(linkPalette);
    // The address has no place to wrap; it runs on towards the window's edge
    // rather than being cut off.
    const int addressWidth =
        lblHyperLink->fontMetrics().horizontalAdvance(lblHyperLink->text()) + 2;
    lblHyperLink->resize(std::clamp(addressWidth, lblHyperLink->width(),
                                    width() - lblHyperLink->x() - Twips::ToPixels(90)),
                         lblHyperLink->height());

    lblPoweredBy = MakeLabel(this, "lblPoweredBy", {}, Twips::Rect(1440, 2640, 3015, 375));
    Label4 =
        MakeLabel(this, "Label4", QStringLiteral("Powered By:"), Twips::Rect(120, 2640, 1215, 255));
    Label4->setFont(Fonts::Verdana(8.25, true));

    Line1 = new Shape(Shape::Kind::Line, this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(QRect(QPoint(Twips::ToPixels(120), Twips::ToPixels(2520)),
                             QPoint(Twips::ToPixels(5640), Twips::ToPixels(2520))));
    Line1->SetColor(palette().color(QPalette::WindowText));

    Label3 =
        MakeLabel(this, "Label3", QStringLiteral("Pellweather"), Twips::Rect(960, 840, 1095, 255));
    lblApp = MakeLabel(this, "lblApp", {}, Twips::Rect(960, 480, 4575, 255));
    lblApp->setFont(Fonts::Verdana(8.25, true));

    Label1 = MakeLabel(
        this, "Label1",
        QStringLiteral("Quillomatic quickly converts your HTML into scripting language, allowing "
                       "you to have less HTML blocks in your scripts, and speeding up "
                       "performance. Quillomatic supports ASP, JavaScript, JSP, Perl, and PHP. "
                       "Find out more at %1.")
            .arg(AddressWithoutScheme()),
        Twips::Rect(960, 1320, 4575, 975));

    Image1 = new Picture(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::Rect(165, 600, 300, 345));
    Image1->SetPath(QStringLiteral(":/pictures/AboutHTML.svg"));
    Image1->setAccessibleName(QStringLiteral("HTML"));

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load() {
    setWindowTitle(AppTitle());
    tdbTitle->SetCaption(AppTitle());
    lblApp->setText(AppTitle());
    lblPoweredBy->setText(QStringLiteral("Pellweather Vorsk HTML Converter Version 1.3"));
    CenterOver(parentWidget());
    cmdOK->setFocus(Qt::ActiveWindowFocusReason);
    ShowModal();
}

void frmAbout::cmdOK_Click() {
    close();
}

} // namespace quillomatic
