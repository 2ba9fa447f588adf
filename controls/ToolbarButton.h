// One button of a Toolbar: a picture above a caption.
#pragma once

#include "DrawnButton.h"

#include <QColor>
#include <optional>

namespace quillomatic {

class ToolbarButton : public DrawnButton {
    Q_OBJECT

public:
    ToolbarButton(const QString& caption, const QString& key, const QString& toolTipText,
                  const QString& picturePath, std::optional<QColor> maskColor,
                  QWidget* parent = nullptr);

    [[nodiscard]] QString Caption() const { return text(); }
    [[nodiscard]] QString Key() const { return m_Key; }
    [[nodiscard]] QString ToolTipText() const { return toolTip(); }
    [[nodiscard]] QString PicturePath() const { return m_PicturePath; }
    [[nodiscard]] std::optional<QColor> MaskColor() const { return m_MaskColor; }
    [[nodiscard]] QSize PictureSize() const { return m_PictureSize; }
    [[nodiscard]] bool Selected() const { return m_Selected; }
    void SetSelected(bool selected);

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_Key;
    QString m_PicturePath;
    std::optional<QColor> m_MaskColor;
    QSize m_PictureSize;
    bool m_Selected = false;
};

} // namespace quillomatic
