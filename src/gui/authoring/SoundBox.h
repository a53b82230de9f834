#pragma once

#include "gui/authoring/ChoiceBox.h"

// The note maker's sound box: an editable drop-down box that stays locked
// (its text cannot be typed over and its choice cannot be changed) except
// from the moment its list drops down until an item is chosen.
class SoundBox : public ChoiceBox {
    Q_OBJECT

public:
    explicit SoundBox(QWidget *parent = nullptr);

    void setLocked(bool locked);
    bool isLocked() const { return m_locked; }

    void showPopup() override;

Q_SIGNALS:
    // The list is about to drop down.
    void droppedDown();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_locked = false;
};
