// Plays sounds back to back and ends at once, so that the process ends while
// Qt Multimedia may still be decoding: it must still end. Each argument is a
// wave file to play, or "-" to start over with a new player.
#include "sound/QtSoundOutput.h"

#include <QApplication>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    auto output = std::make_unique<QtSoundOutput>([] {});
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("-"))
            output = std::make_unique<QtSoundOutput>([] {});
        else
            output->play(arg, arg.endsWith(QLatin1String("_LOOP.wav")));
    }
    output->stop();
    return 0;
}
