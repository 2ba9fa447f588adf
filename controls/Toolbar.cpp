// A row of picture buttons that reports which one was pressed.
#include "Toolbar.h"

#include "ToolbarButton.h"

#include <QEvent>
#include <QPainter>
#include <QToolTip>

namespace quillomatic {

Toolbar::Toolbar(QWidget* parent) : QWidget(parent) {}

void Toolbar::AddButton(const QString& caption, const QString& key, const QString& toolTipText,
                        const QString& picturePath, std::optional<QColor> maskColor) {
    auto* button = new ToolbarButton(caption, key, toolTipText, picturePath, maskColor, this);
    button->setObjectName(QStringLiteral("%1Button%2").arg(objectName()).arg(m_Buttons.size() + 1));
    button->setFont(font());
    connect(button, &QAbstractButton::clicked, this, [this, button] { Press(button); });
    m_Buttons.append(button);
    LayOutButtons();
    button->show();
}

ToolbarButton* Toolbar::Button(qint16 position) const {
    return position >= 1 && position <= m_Buttons.size() ? m_Buttons[position - 1] : nullptr;
}

void Toolbar::SetButtonGap(qint16 gap) {
    m_ButtonGap = gap;
    LayOutButtons();
}

void Toolbar::SetToolTipFont(const QFont& font) {
    m_ToolTipFont = font;
}

void Toolbar::SetBorderStyle(qint32 style) {
    m_BorderStyle = style;
    update();
}

void Toolbar::SetTitle(const QString& title) {
    m_Title = title;
}

void Toolbar::SetSelectedButton(qint16 position) {
    for (qsizetype i = 0; i < m_Buttons.size(); ++i) {
        m_Buttons[i]->SetSelected(i + 1 == position);
    }
}

void Toolbar::Press(ToolbarButton* button) {
    emit ButtonClick(static_cast<qint16>(m_Buttons.indexOf(button) + 1), button->Key());
}

void Toolbar::LayOutButtons() {
    const int border = m_BorderStyle != 0 ? 1 : 0;
    int left = border + 2;
    for (ToolbarButton* button : m_Buttons) {
        button->setFont(font());
        const QSize hint = button->sizeHint();
        button->setGeometry(left, border, hint.width(), height() - 2 * border);
        left += hint.width() + m_ButtonGap;
    }
}

void Toolbar::resizeEvent(QResizeEvent* /*event*/) {
    LayOutButtons();
}

bool Toolbar::event(QEvent* event) {
    // Tooltips of the buttons show in the toolbar's tooltip font.
    if (event->type() == QEvent::ToolTip || event->type() == QEvent::Enter) {
        QToolTip::setFont(m_ToolTipFont);
    }
    if (event->type() == QEvent::FontChange) {
        LayOutButtons();
    }
    return QWidget::event(event);
}

void Toolbar::paintEvent(QPaintEvent* /*event*/) {
    if (m_BorderStyle != 0) {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace quillomatic
