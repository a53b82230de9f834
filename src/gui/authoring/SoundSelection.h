#pragma once

#include "core/store/SoundNames.h"

#include <QObject>

class QCheckBox;
class QPushButton;
class SoundBox;
class Sounds;

// The note maker's choice of a reminder sound: the check box `Check1`, the
// sound box `Combo1` and the preview button `SndPreviewBttn`, in the states
// off, on with nothing chosen, on with a sound chosen, and looping preview.
class SoundSelection : public QObject {
    Q_OBJECT

public:
    static inline const QString kPlaceholder = SoundNames::kNotChosen;
    static inline const QString kPreview = QStringLiteral("&Preview");
    static inline const QString kStop = QStringLiteral("&Stop");

    // Connects the three controls, fills the sound list ("No Sound" last) and
    // puts them in the state off.
    SoundSelection(QCheckBox *check, SoundBox *box, QPushButton *preview, Sounds &sounds,
                   QObject *parent = nullptr);

    void Check1_Click();
    void Combo1_DropDown();
    void Combo1_Click();
    void SndPreviewBttn_Click();
    // The note maker closes: whatever plays stops.
    void Form_Unload();

private:
    QCheckBox *m_check;
    SoundBox *m_box;
    QPushButton *m_preview;
    Sounds &m_sounds;
};
