#pragma once

#include <QString>
#include <optional>

class SettingsStore;

// The program settings, values of the section "Settings". Nothing is
// cached: every reader asks the store when it needs the value, every writer
// writes through at once. A reader's nullopt means the store failed.
class ProgramSettings {
public:
    static inline const QString kSection = QStringLiteral("Settings");
    static inline const QString kLast = QStringLiteral("Last");
    static inline const QString kStartUp = QStringLiteral("Start Up");
    static inline const QString kCheckMissed = QStringLiteral("CheckMissed");
    static inline const QString kLocale = QStringLiteral("Locale");
    static inline const QString kSnooze = QStringLiteral("Snooze");
    static inline const QString kCalendarFolder = QStringLiteral("Calendar Folder");

    static inline const QString kTrue = QStringLiteral("True");
    static inline const QString kFalse = QStringLiteral("False");
    // What start-up writes when "CheckMissed" is absent or empty.
    static inline const QString kDefaultCheckMissed = QStringLiteral("14");

    explicit ProgramSettings(SettingsStore &store)
        : m_store(store)
    {
    }

    // "Last": the password as stored (scrambled); the empty text means none.
    std::optional<QString> storedPassword() const;
    // Whether a password is set: "Last" is not empty. A store that cannot be
    // read counts as holding one: better to ask than to show notes unprotected.
    bool hasPassword() const;
    bool setStoredPassword(const QString &scrambled);
    // Whether `typed` is the stored password, exactly: the one test of every
    // window that asks for it. A stored password that cannot be unscrambled
    // (a damaged store), or a store that cannot be read, matches nothing.
    bool isPassword(const QString &typed) const;

    // "Start Up": "True" or "False".
    std::optional<QString> startUp() const;
    bool setStartUp(bool on);
    // The log-on start goes on unless the value is exactly "False" (absent
    // reads as "True"); a store that cannot be read does not stop it.
    bool logonStartAllowed() const;
    // The note maker's item is checked only when the value is exactly "True".
    bool startupItemChecked() const;

    // "CheckMissed": the text of a number of days from 1 to 30.
    std::optional<QString> checkMissed() const;
    bool setCheckMissed(const QString &days);
    // The look-back's days: the leading number rounded a half to even; 0 when
    // absent or unreadable, and never more than the days a date can go back.
    qint64 lookBackDays() const;

    // "Locale": the folder that was the current directory at the latest start.
    std::optional<QString> locale() const;
    bool setLocale(const QString &folder);

    // "Snooze": the minutes of the reminder window's last snooze (Snooze).
    std::optional<QString> snooze() const;
    bool setSnooze(const QString &minutes);

    // "Calendar Folder": the folder the reminders are mirrored into and
    // merged from; empty when that is off.
    std::optional<QString> calendarFolder() const;
    bool setCalendarFolder(const QString &folder);

private:
    std::optional<QString> value(const QString &key) const;
    bool setValue(const QString &key, const QString &text);

    SettingsStore &m_store;
};
