#pragma once

#include "gui/platform/SoundOutput.h"

#include <QStringList>

// Records what would have been played: "play <path>", "loop <path>", "stop".
class RecordingSoundOutput : public SoundOutput {
public:
    QStringList calls;
    void play(const QString &path, bool loop) override
    {
        calls << (loop ? QStringLiteral("loop ") : QStringLiteral("play ")) + path;
    }
    void stop() override { calls << QStringLiteral("stop"); }
};
