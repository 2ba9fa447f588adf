// A borderless window of fixed size, its title bar a control the form puts on it.
#include "Form.h"

#include "DragBar.h"
#include "FaceColour.h"
#include "Fonts.h"
#include "Twips.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWindow>

namespace quillomatic {
namespace {

// Puts back on the screen, at once, the part of every shown window of the
// program that lies in `area` (global coordinates), from what it last painted.
void ShowWindowsUnder(const QRect& area) {
    // The caller of a modal form often goes straight on to long work (loading
    // a large page), and the window system would go on showing the closed form
    // over the windows it covered until the event loop turns again and they
    // are told to show themselves. A repaint would not do: Qt leaves out what
    // it thinks is already on the screen, such as a text box.
    if (area.isEmpty()) {
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->isMinimized() || !window->backingStore() ||
            !window->windowHandle()) {
            continue;
        }
        const QRect local =
            QRect(window->mapFromGlobal(area.topLeft()), area.size()) & window->rect();
        if (!local.isEmpty()) {
            window->backingStore()->flush(local, window->windowHandle());
        }
    }
}

} // namespace

Form::Form(QSize clientSize, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
    setFixedSize(clientSize);
    QPalette face = palette();
    face.setColor(QPalette::Window, kFaceColour);
    face.setColor(QPalette::Button, kFaceColour);
    setPalette(face);
    setAutoFillBackground(true);
}

DragBar* Form::MakeTitleBar(int widthTwips) {
    auto* bar = new DragBar(this);
    bar->setObjectName(QStringLiteral("tdbTitle"));
    bar->setGeometry(Twips::Rect(0, 0, widthTwips, 255));
    bar->setFont(Fonts::Verdana(8.25, true));
    bar->SetForeColor(Qt::white);
    return bar;
}

void Form::CenterOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target) {
        QRect frame = geometry();
        frame.moveCenter(target->availableGeometry().center());
        move(frame.topLeft());
    }
}

void Form::CenterOver(const QWidget* other) {
    if (!other || !other->isVisible()) {
        CenterOnScreen();
        return;
    }
    QRect frame = geometry();
    frame.moveCenter(other->frameGeometry().center());
    move(frame.topLeft());
}

void Form::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QPointer<Form> alive(this);
    QRect covered;
    if (isVisible()) {
        QEventLoop loop;
        connect(this, &Form::Hidden, &loop, &QEventLoop::quit);
        connect(this, &Form::Hidden, &loop, [this, &covered] { covered = frameGeometry(); });
        loop.exec(QEventLoop::DialogExec);
    }
    if (alive) {
        setWindowModality(Qt::NonModal);
    }
    ShowWindowsUnder(covered);
}

void Form::Minimize() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void Form::Form_Unload(qint16& /*Cancel*/) {}

void Form::closeEvent(QCloseEvent* event) {
    qint16 cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0) {
        event->ignore();
    } else {
        event->accept();
    }
}

void Form::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A minimised window is hidden too, as far as Qt is concerned; only a
    // real hide ends a modal show.
    if (!event->spontaneous()) {
        emit Hidden();
    }
}

} // namespace quillomatic
