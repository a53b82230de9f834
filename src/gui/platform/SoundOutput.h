#pragma once

#include <QString>

// One channel of wave playback: starting a sound ends the one that plays.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts the wave file at `path` without waiting, in an endless loop or
    // once. A file that cannot be played rings the desktop's bell instead.
    virtual void play(const QString &path, bool loop) = 0;
    // Stops whatever plays, looping or not.
    virtual void stop() = 0;
};
