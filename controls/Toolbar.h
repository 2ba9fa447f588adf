// A row of picture buttons that reports which one was pressed.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QWidget>
#include <optional>

namespace quillomatic {

class ToolbarButton;

// Buttons stand left to right, ButtonGap pixels apart. Raises ButtonClick
// with the 1-based position and the key of the pressed button. Which button
// shows as selected is the owner's to say (SetSelectedButton): a press may be
// refused, and the owner may change what the buttons stand for without one.
class Toolbar : public QWidget {
    Q_OBJECT

public:
    explicit Toolbar(QWidget* parent = nullptr);

    void AddButton(const QString& caption, const QString& key, const QString& toolTipText,
                   const QString& picturePath, std::optional<QColor> maskColor = std::nullopt);
    [[nodiscard]] qint16 ButtonCount() const { return static_cast<qint16>(m_Buttons.size()); }
    // The button at 1-based `position`.
    [[nodiscard]] ToolbarButton* Button(qint16 position) const;
    // Shows the button at 1-based `position` as selected, and no other; 0
    // selects none.
    void SetSelectedButton(qint16 position);

    [[nodiscard]] qint16 ButtonGap() const { return m_ButtonGap; }
    void SetButtonGap(qint16 gap);
    [[nodiscard]] QFont ToolTipFont() const { return m_ToolTipFont; }
    void SetToolTipFont(const QFont& font);
    [[nodiscard]] qint32 BorderStyle() const { return m_BorderStyle; }
    void SetBorderStyle(qint32 style);
    [[nodiscard]] qint32 Appearance() const { return m_Appearance; }
    void SetAppearance(qint32 appearance) { m_Appearance = appearance; }
    [[nodiscard]] QString Title() const { return m_Title; }
    void SetTitle(const QString& title);

signals:
    void ButtonClick(qint16 Index, const QString& Key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void LayOutButtons();
    void Press(ToolbarButton* button);

    QList<ToolbarButton*> m_Buttons;
    qint16 m_ButtonGap = 0;
    QFont m_ToolTipFont;
    qint32 m_BorderStyle = 0;
    qint32 m_Appearance = 1;
    QString m_Title;
};

} // namespace quillomatic
