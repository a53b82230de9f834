#pragma once

#include "platform/SoundOutput.h"

#include <functional>
#include <memory>

class QSoundEffect;

// Wave playback through one QSoundEffect, made on first use, so that a run
// that never plays a sound never opens the audio device.
class QtSoundOutput : public SoundOutput {
public:
    // `bell` rings when a file is missing or cannot be played; the desktop's
    // bell (QApplication::beep) unless a test hands its own.
    explicit QtSoundOutput(std::function<void()> bell = {});
    ~QtSoundOutput() override;

    void play(const QString &path, bool loop) override;
    void stop() override;

    // The effect, once made; nullptr before the first sound.
    QSoundEffect *effect() const { return m_effect.get(); }

private:
    void ring();

    std::function<void()> m_bell;
    std::unique_ptr<QSoundEffect> m_effect;
};
