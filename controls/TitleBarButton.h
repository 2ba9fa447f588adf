// A small square button of a drawn title bar, showing one character.
#pragma once

#include "DrawnButton.h"

#include <QColor>

namespace quillomatic {

// Draws its caption centred on a flat face; the caption takes ForeColorOver
// while the pointer is over the button (or the keyboard focus is on it, since
// no focus rectangle is drawn). Raises clicked().
class TitleBarButton : public DrawnButton {
    Q_OBJECT

public:
    explicit TitleBarButton(QWidget* parent = nullptr);

    [[nodiscard]] QString Caption() const { return text(); }
    void SetCaption(const QString& sNewValue);
    [[nodiscard]] QColor ForeColorOver() const { return m_ForeColorOver; }
    void SetForeColorOver(const QColor& color);
    [[nodiscard]] bool ShowFocusRect() const { return m_ShowFocusRect; }
    void SetShowFocusRect(bool show);
    // The drawing area, in pixels.
    [[nodiscard]] QSize ScaleSize() const { return m_ScaleSize; }
    void SetScaleSize(QSize size);

    [[nodiscard]] QSize sizeHint() const override { return m_ScaleSize; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_ForeColorOver;
    bool m_ShowFocusRect = true;
    QSize m_ScaleSize{17, 17};
};

} // namespace quillomatic
