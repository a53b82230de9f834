#include "gui/authoring/ChoiceBox.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

ChoiceBox::ChoiceBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_finishingTyping)
            Q_EMIT chosen(index);
    });
}

void ChoiceBox::focusOutEvent(QFocusEvent *event)
{
    const QScopedValueRollback finishing(m_finishingTyping, true);
    QComboBox::focusOutEvent(event);
}

void ChoiceBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QScopedValueRollback finishing(m_finishingTyping, m_finishingTyping || enter);
    QComboBox::keyPressEvent(event);
}
