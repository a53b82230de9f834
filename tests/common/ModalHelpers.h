#pragma once

#include <QtWidgets>
#include <functional>

// Answers modal windows from inside their own event loops, as a user would.
// (With every widget type, for the tests to use.)

// Runs `answer` once on the first modal window of type Window, polling every few
// milliseconds from the event loop that shows it. The wait ends unanswered when
// `context` is destroyed.
template<class Window>
void whenModal(std::function<void(Window *)> answer, QObject *context = nullptr)
{
    auto *poll = new QTimer(context ? context : qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        auto *modal = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible())
            return;
        // Answered a moment later, from the window's own event loop: a window
        // can be visible before its modal loop runs, and a dialog hidden then
        // would leave that loop waiting for ever.
        poll->stop();
        QPointer<Window> window(modal);
        QTimer::singleShot(20, poll, [poll, window, answer] {
            poll->deleteLater();
            if (window)
                answer(window);
        });
    });
    poll->start(5);
}

// While it lives, answers every message box and input box at once and records
// what each said. A message box gets the next of `buttons`, else OK (or its
// first button); an input box gets the next of `inputs` typed and OK, where a
// null text is Cancel, else Cancel.
class MessageRecorder {
public:
    struct Message {
        QString text;
        QMessageBox::Icon icon;
        QString title;
        QString preset; // what an input box proposed
    };
    QList<QMessageBox::StandardButton> buttons;
    QStringList inputs;
    QList<Message> messages;
    // Runs when a box comes, before it is recorded and answered.
    std::function<void(QMessageBox *)> onMessage;

    MessageRecorder()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { answer(); });
        m_poll.start(5);
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Message &m : messages)
            result << m.text;
        return result;
    }

private:
    void answer()
    {
        auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible() || modal == m_answered)
            return;
        m_answered = modal;
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            messages.append({input->labelText(), QMessageBox::NoIcon, input->windowTitle(),
                             input->textValue()});
            const QString typed = inputs.isEmpty() ? QString() : inputs.takeFirst();
            input->setTextValue(typed);
            typed.isNull() ? input->reject() : input->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (onMessage)
                onMessage(box);
            messages.append({box->text(), box->icon(), box->windowTitle(), {}});
            QAbstractButton *button =
                box->button(buttons.isEmpty() ? QMessageBox::Ok : buttons.takeFirst());
            if (auto *chosen = button ? button : box->buttons().value(0))
                chosen->click();
        }
    }

    QTimer m_poll;
    QPointer<QDialog> m_answered;
};
