// The calendar reader on any bytes: every item it gives has a day a reminder
// can be kept under, a time within the day or none, and a note no longer than
// a note holds.
#include "calendar/CalendarReader.h"
#include "core/store/TextForms.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const QDateTime now(QDate(2026, 12, 6), QTime(10, 0));
    for (const CalendarItem &item : CalendarReader::read(text, now).items) {
        if (TextForms::dayKey(item.day).isEmpty() || item.note.size() > 32'767 ||
            (item.time.isValid() && item.time.second() != 0))
            std::abort();
    }
    return 0;
}
