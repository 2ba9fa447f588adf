// What the program's own buttons share: pressed by Enter as well as Space, and
// a focus rectangle drawn where each button wants it.
#pragma once

#include <QAbstractButton>

class QPainter;

namespace quillomatic {

class DrawnButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit DrawnButton(QWidget* parent = nullptr);

protected:
    // Draws the dotted focus rectangle at `area` while the button has the focus.
    void DrawFocusRect(QPainter& painter, const QRect& area) const;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quillomatic
