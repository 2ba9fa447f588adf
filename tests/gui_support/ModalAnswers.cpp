// Answers the modal windows a test makes appear, through their real widgets.
#include "ModalAnswers.h"

#include "DragBar.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace quillomatic::testing {

ModalAnswers::ModalAnswers() {
    m_Timer.setInterval(5);
    connect(&m_Timer, &QTimer::timeout, this, &ModalAnswers::Poll);
    m_Timer.start();
}

ModalAnswers::~ModalAnswers() {
    if (m_LastAnswered) {
        m_LastAnswered->removeEventFilter(this);
    }
}

ModalAnswers& ModalAnswers::Then(Answer answer) {
    m_Answers.append(std::move(answer));
    return *this;
}

ModalAnswers& ModalAnswers::ThenPress(int button) {
    return Then([this, button](QWidget* box) {
        m_Messages.append(Read(box));
        auto* target = box->findChild<QPushButton*>(button == 1 ? QStringLiteral("cmd1")
                                                                : QStringLiteral("cmd2"));
        QVERIFY2(target, "the modal window is not the message box");
        QTest::mouseClick(target, Qt::LeftButton);
    });
}

ModalAnswers& ModalAnswers::ThenPick(const QString& path) {
    return Then([path](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        QVERIFY2(dialog, "the modal window is not a file dialog");
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        // Only a name field that has the focus replaces the file the dialog
        // preselected, so wait for the dialog to become active first.
        if (!QTest::qWaitForWindowActive(dialog) ||
            !QTest::qWaitFor([name] { return name->hasFocus(); })) {
            dialog->reject();
            QFAIL("the file dialog did not take the focus");
        }
        // Typed whole, as a paste puts it.
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible()) {
            dialog->reject();
            QFAIL(qPrintable(QStringLiteral("the file dialog refused %1").arg(path)));
        }
    });
}

ModalAnswers& ModalAnswers::ThenCancel() {
    return Then([](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        QVERIFY2(dialog, "the modal window is not a file dialog");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
}

QStringList ModalAnswers::MessageTexts() const {
    QStringList texts;
    for (const SeenMessage& message : m_Messages) {
        texts.append(message.Text);
    }
    return texts;
}

SeenMessage ModalAnswers::Read(QWidget* messageBox) {
    SeenMessage seen;
    if (auto* label = messageBox->findChild<QLabel*>(QStringLiteral("Label1"))) {
        seen.Text = label->text();
    }
    if (auto* first = messageBox->findChild<QPushButton*>(QStringLiteral("cmd1"))) {
        seen.Caption1 = first->text();
    }
    if (auto* second = messageBox->findChild<QPushButton*>(QStringLiteral("cmd2"))) {
        seen.Caption2 = second->text();
    }
    if (auto* title = messageBox->findChild<DragBar*>(QStringLiteral("tdbTitle"))) {
        seen.Title = title->Caption();
    }
    return seen;
}

bool ModalAnswers::eventFilter(QObject* watched, QEvent* event) {
    // The message box is one window shown again for each question, often at
    // once after it was hidden; its hiding is what makes the next showing new.
    if (watched == m_LastAnswered && event->type() == QEvent::Hide) {
        m_LastAnswered->removeEventFilter(this);
        m_LastAnswered = nullptr;
    }
    return QObject::eventFilter(watched, event);
}

void ModalAnswers::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (m_LastAnswered && !m_LastAnswered->isVisible()) {
        m_LastAnswered->removeEventFilter(this);
        m_LastAnswered = nullptr;
    }
    if (!modal || modal == m_LastAnswered || !modal->isVisible() || m_Answers.isEmpty()) {
        return;
    }
    m_LastAnswered = modal;
    modal->installEventFilter(this);
    const Answer answer = m_Answers.takeFirst();
    answer(modal);
}

} // namespace quillomatic::testing
