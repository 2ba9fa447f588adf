// Answers the modal windows a test makes appear, through their real widgets.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

class QFileDialog;

namespace quillomatic::testing {

// What a message box showed, as the user saw it.
struct SeenMessage {
    QString Text;
    QString Caption1;
    QString Caption2;
    QString Title;
};

// A script of answers, one per modal window, in the order the windows appear.
// Each answer gets the modal window and must close it (click a button, accept
// or reject a dialog). The same window shown again counts as a new one.
class ModalAnswers : public QObject {
    Q_OBJECT

public:
    using Answer = std::function<void(QWidget*)>;

    ModalAnswers();
    ~ModalAnswers() override;

    ModalAnswers& Then(Answer answer);
    // Answers a message box with its first or second button, recording what it showed.
    ModalAnswers& ThenPress(int button);
    // Types `path` into a file dialog's name field and presses Enter.
    ModalAnswers& ThenPick(const QString& path);
    // Cancels a file dialog.
    ModalAnswers& ThenCancel();

    // Every answer given so far.
    [[nodiscard]] bool AllAnswered() const { return m_Answers.isEmpty(); }
    [[nodiscard]] int Unanswered() const { return static_cast<int>(m_Answers.size()); }
    [[nodiscard]] const QList<SeenMessage>& Messages() const { return m_Messages; }
    [[nodiscard]] QStringList MessageTexts() const;

    // The message box's contents, read from its widgets.
    [[nodiscard]] static SeenMessage Read(QWidget* messageBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Poll();

    QTimer m_Timer;
    QList<Answer> m_Answers;
    QList<SeenMessage> m_Messages;
    QPointer<QWidget> m_LastAnswered;
};

} // namespace quillomatic::testing
