// The sound player module, loaded by LazySoundOutput when the first sound plays.
#include "sound/QtSoundOutput.h"

extern "C" Q_DECL_EXPORT SoundOutput *pingalo_create_sound_output(void (*bell)(void *),
                                                                  void *context)
{
    return new QtSoundOutput([bell, context] { bell(context); });
}
