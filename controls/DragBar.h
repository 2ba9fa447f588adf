// The title strip of a borderless window: shows the caption and moves the window.
#pragma once

#include <QColor>
#include <QPoint>
#include <QWidget>

namespace quillomatic {

// Dragging the bar with the left button moves the window that holds it: through
// the window system where it offers an interactive move (X11, Wayland), by
// following the pointer otherwise.
class DragBar : public QWidget {
    Q_OBJECT

public:
    explicit DragBar(QWidget* parent = nullptr);

    [[nodiscard]] QString Caption() const { return m_Caption; }
    void SetCaption(const QString& sNewValue);
    [[nodiscard]] QColor ForeColor() const { return m_ForeColor; }
    void SetForeColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_Caption;
    QColor m_ForeColor = Qt::white;
    bool m_FollowingPointer = false;
    QPoint m_GrabOffset; // pointer position relative to the window's corner
};

} // namespace quillomatic
