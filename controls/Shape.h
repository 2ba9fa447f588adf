// A line or a rectangle outline drawn on a form.
#pragma once

#include <QColor>
#include <QWidget>

namespace quillomatic {

// Both are one pixel wide: a line runs along the middle of the widget's
// longer side, a rectangle along its edge, transparent inside.
class Shape : public QWidget {
    Q_OBJECT

public:
    enum class Kind { Line, Rectangle };

    Shape(Kind kind, QWidget* parent = nullptr);

    [[nodiscard]] QColor Color() const { return m_Color; }
    void SetColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind m_Kind;
    QColor m_Color = Qt::black;
};

} // namespace quillomatic
