#pragma once

#include "gui/platform/SoundOutput.h"

#include <QStringList>
#include <functional>
#include <memory>

class QLibrary;

// The sound output of the running program: the wave player (Qt Multimedia
// and the audio system's libraries) lives in a module of its own that is
// loaded when the first sound plays, so a run that never plays a sound never
// loads it. A module that cannot be loaded rings the desktop's bell instead.
class LazySoundOutput : public SoundOutput {
public:
    static inline const QString kModuleName = QStringLiteral("pingalo-sound");

    // `folders`: where to look for the module, in order. `bell` as for the player.
    explicit LazySoundOutput(QStringList folders, std::function<void()> bell = {});
    ~LazySoundOutput() override;

    void play(const QString &path, bool loop) override;
    void stop() override;

    bool isLoaded() const { return m_output != nullptr; }

private:
    bool load();
    void ring();

    QStringList m_folders;
    std::function<void()> m_bell;
    std::unique_ptr<QLibrary> m_library;
    std::unique_ptr<SoundOutput> m_output;
    bool m_failed = false;
};
