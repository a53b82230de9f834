#include "gui/authoring/SoundSelection.h"

#include "gui/alerts/Sounds.h"
#include "gui/authoring/SoundBox.h"

#include <QCheckBox>
#include <QPushButton>

SoundSelection::SoundSelection(QCheckBox *check, SoundBox *box, QPushButton *preview,
                               Sounds &sounds, QObject *parent)
    : QObject(parent)
    , m_check(check)
    , m_box(box)
    , m_preview(preview)
    , m_sounds(sounds)
{
    m_box->addItems(sounds.playableNames()); // never a sound that cannot play
    m_box->addItem(Sounds::kNoSound);
    m_box->setCurrentIndex(-1);
    m_box->setEditText(kPlaceholder);
    m_box->setEnabled(false);
    m_box->setLocked(true);
    m_preview->setText(kPreview);
    m_preview->setEnabled(false);
    m_check->setChecked(false);
    // toggled, not clicked: a change made by the program runs the handler too.
    connect(m_check, &QCheckBox::toggled, this, &SoundSelection::Check1_Click);
    connect(m_box, &SoundBox::droppedDown, this, &SoundSelection::Combo1_DropDown);
    connect(m_box, &ChoiceBox::chosen, this, &SoundSelection::Combo1_Click);
    connect(m_preview, &QPushButton::clicked, this, &SoundSelection::SndPreviewBttn_Click);
}

void SoundSelection::Check1_Click()
{
    if (m_check->isChecked()) {
        m_box->setEnabled(true);
        m_box->setLocked(true);
        return;
    }
    m_box->setEnabled(false);
    m_box->setLocked(false);
    m_box->setCurrentIndex(-1);
    m_box->setEditText(kPlaceholder);
    m_preview->setEnabled(false); // its caption stays as it is
}

void SoundSelection::Combo1_DropDown()
{
    m_box->setLocked(false);
}

void SoundSelection::Combo1_Click()
{
    if (m_box->currentText() != Sounds::kNoSound) {
        m_preview->setEnabled(true);
    } else {
        m_preview->setEnabled(false);
        m_check->setChecked(false); // puts the box back to "Sounds"
    }
    m_box->setLocked(true);
}

void SoundSelection::SndPreviewBttn_Click()
{
    if (m_preview->text() != kStop) {
        if (Sounds::loops(m_box->currentText()))
            m_preview->setText(kStop);
        m_sounds.PlayReminderSound(m_box->currentText());
        return;
    }
    m_sounds.PlayReminderSound(Sounds::kStopLoop);
    m_preview->setText(kPreview);
}

void SoundSelection::Form_Unload()
{
    m_sounds.PlayReminderSound(Sounds::kStopLoop);
}
