#include "core/store/SoundNames.h"

namespace SoundNames {

QStringList names()
{
    return {QStringLiteral("BEEP"),          QStringLiteral("BOINK"),
            QStringLiteral("BUZZER_1_LOOP"), QStringLiteral("BUZZER_2_LOOP"),
            QStringLiteral("COUGH"),         QStringLiteral("CUCKOO_LOOP"),
            QStringLiteral("HEY_1"),         QStringLiteral("HEY_2"),
            QStringLiteral("OH-NO"),         QStringLiteral("PAGER_1_LOOP"),
            QStringLiteral("PAGER_2_LOOP"),  QStringLiteral("ROOSTER"),
            QStringLiteral("SIREN"),         QStringLiteral("VITAL_LOOP")};
}

} // namespace SoundNames
