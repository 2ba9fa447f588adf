// A static picture on a form.
#pragma once

#include <QWidget>

namespace quillomatic {

class Picture : public QWidget {
    Q_OBJECT

public:
    explicit Picture(QWidget* parent = nullptr);

    [[nodiscard]] QString Path() const { return m_Path; }
    void SetPath(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_Path;
};

} // namespace quillomatic
