#include "core/store/ProgramSettings.h"

#include "core/store/ScrambleText.h"
#include "core/store/SettingsStore.h"
#include "core/store/TextForms.h"

#include <algorithm>

std::optional<QString> ProgramSettings::value(const QString &key) const
{
    return m_store.get(kSection, key);
}

bool ProgramSettings::setValue(const QString &key, const QString &text)
{
    return m_store.save(kSection, key, text);
}

std::optional<QString> ProgramSettings::storedPassword() const
{
    return value(kLast);
}

bool ProgramSettings::hasPassword() const
{
    const auto password = storedPassword();
    return !password || !password->isEmpty();
}

bool ProgramSettings::setStoredPassword(const QString &scrambled)
{
    return setValue(kLast, scrambled);
}

bool ProgramSettings::isPassword(const QString &typed) const
{
    const auto stored = storedPassword();
    const auto expected = stored ? ScrambleText(*stored, QStringLiteral("0")) : std::nullopt;
    return expected && typed == *expected;
}

std::optional<QString> ProgramSettings::startUp() const
{
    return value(kStartUp);
}

bool ProgramSettings::setStartUp(bool on)
{
    return setValue(kStartUp, on ? kTrue : kFalse);
}

bool ProgramSettings::logonStartAllowed() const
{
    return startUp().value_or(kTrue) != kFalse;
}

bool ProgramSettings::startupItemChecked() const
{
    return startUp().value_or(kFalse) == kTrue;
}

std::optional<QString> ProgramSettings::checkMissed() const
{
    return value(kCheckMissed);
}

bool ProgramSettings::setCheckMissed(const QString &days)
{
    return setValue(kCheckMissed, days);
}

qint64 ProgramSettings::lookBackDays() const
{
    // A hand-edited "2000000000" must not make a check walk millions of days;
    // no date lies further back than 1 January 100 anyway.
    constexpr qint64 kMostDays = 3'652'059;
    return std::clamp<qint64>(TextForms::wholeNumber(checkMissed().value_or(QString())), 0,
                              kMostDays);
}

std::optional<QString> ProgramSettings::locale() const
{
    return value(kLocale);
}

bool ProgramSettings::setLocale(const QString &folder)
{
    return setValue(kLocale, folder);
}

std::optional<QString> ProgramSettings::snooze() const
{
    return value(kSnooze);
}

bool ProgramSettings::setSnooze(const QString &minutes)
{
    return setValue(kSnooze, minutes);
}

std::optional<QString> ProgramSettings::calendarFolder() const
{
    return value(kCalendarFolder);
}

bool ProgramSettings::setCalendarFolder(const QString &folder)
{
    return setValue(kCalendarFolder, folder);
}
