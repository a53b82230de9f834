#include "core/store/SettingsStore.h"

#include <cstdio>

SettingsStore::~SettingsStore() = default;

void SettingsStore::reportFailure(const QString &what)
{
    // A broken store fails every tick of the scheduler; say it once, not every minute.
    if (what == m_lastReported)
        return;
    m_lastReported = what;
    std::fprintf(stderr, "pingalo: %s\n", what.toLocal8Bit().constData());
    std::fflush(stderr);
}
