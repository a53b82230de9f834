#include "gui/authoring/SoundBox.h"

#include <QKeyEvent>
#include <QLineEdit>

SoundBox::SoundBox(QWidget *parent)
    : ChoiceBox(parent)
{
}

void SoundBox::setLocked(bool locked)
{
    m_locked = locked;
    lineEdit()->setReadOnly(locked);
}

void SoundBox::showPopup()
{
    Q_EMIT droppedDown();
    ChoiceBox::showPopup();
}

void SoundBox::keyPressEvent(QKeyEvent *event)
{
    // While locked only the keys that drop the list down get through.
    if (m_locked) {
        const bool dropDown = event->key() == Qt::Key_F4 ||
                              ((event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) &&
                               event->modifiers().testFlag(Qt::AltModifier));
        if (dropDown) {
            // Alt+Up too, which the combo box itself would take for a move up the list.
            showPopup();
            return;
        }
        const bool moving = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
        if (!moving) {
            event->ignore();
            return;
        }
    }
    ChoiceBox::keyPressEvent(event);
}

void SoundBox::wheelEvent(QWheelEvent *event)
{
    if (m_locked) {
        event->ignore();
        return;
    }
    ChoiceBox::wheelEvent(event);
}
