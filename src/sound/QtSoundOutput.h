#pragma once

#include "gui/platform/SoundOutput.h"

#include <functional>
#include <memory>
#include <vector>

class QSoundEffect;

// Wave playback through one QSoundEffect, made on first use, so that a run
// that never plays a sound never opens the audio device.
class QtSoundOutput : public SoundOutput {
public:
    // `bell` rings when a file is missing or cannot be played; the desktop's
    // bell (QApplication::beep) unless a test hands its own.
    explicit QtSoundOutput(std::function<void()> bell = {});
    // Waits (a few seconds at most) for waves still being decoded.
    ~QtSoundOutput() override;

    void play(const QString &path, bool loop) override;
    void stop() override;

    // The effect, once made; nullptr before the first sound.
    QSoundEffect *effect() const { return m_effect.get(); }

private:
    std::unique_ptr<QSoundEffect> makeEffect();
    bool loading() const;
    void ring();

    std::function<void()> m_bell;
    // Effects replaced while their wave was still being decoded; each goes at
    // the next sound after its decoding is over.
    std::vector<std::unique_ptr<QSoundEffect>> m_retired;
    std::unique_ptr<QSoundEffect> m_effect;
};
