// A borderless window of fixed size, its title bar a control the form puts on it.
#pragma once

#include <QWidget>

namespace quillomatic {

class DragBar;

// The form pieces every window of the program shares: a fixed client area in
// the classic face colour, without the system's border or title bar, the
// title bar put in its place (MakeTitleBar), centred opening, a modal show
// that returns when the window is hidden or closed, minimising, and an unload
// handler that runs before any close and may cancel it.
class Form : public QWidget {
    Q_OBJECT

public:
    // A form with an owner stays above it and is centred over it.
    Form(QSize clientSize, QWidget* owner = nullptr);

    void CenterOnScreen();
    void CenterOver(const QWidget* other);
    // Shows the form application-modal and returns once it is hidden or
    // closed, with the windows it covered shown again.
    void ShowModal();
    void Minimize();

signals:
    void Hidden();

protected:
    // The title bar across the top of the form, `widthTwips` wide: the
    // caption in bold white on the drawn strip, which moves the form when
    // dragged. The form gives it its caption.
    [[nodiscard]] DragBar* MakeTitleBar(int widthTwips);
    // Runs whenever the form is about to close, whatever asked for it; a
    // nonzero Cancel keeps it open.
    virtual void Form_Unload(qint16& Cancel);

    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

} // namespace quillomatic
