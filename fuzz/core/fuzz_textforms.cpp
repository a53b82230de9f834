// The parsers of stored and typed texts on any text: a date, time or moment
// they accept is written back in the store's form and read again unchanged,
// and the leading-number rule never gives a value the whole-number reading
// cannot hold.
#include "core/store/TextForms.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
void check(bool holds)
{
    if (!holds)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data),
                                           qsizetype(std::min<size_t>(size, 256)));
    if (const auto date = TextForms::parseDate(text)) {
        check(date->isValid());
        check(TextForms::parseDate(TextForms::dayKey(*date)) == *date);
    }
    if (const auto time = TextForms::parseTime(text)) {
        check(time->isValid());
        check(TextForms::parseTime(TextForms::timeText(*time)) == *time);
    }
    if (const auto moment = TextForms::parseMoment(text)) {
        check(moment->isValid());
        check(TextForms::parseMoment(TextForms::momentText(*moment)) == *moment);
    }
    const double number = TextForms::leadingNumber(text);
    check(!std::isnan(number));
    const qint64 whole = TextForms::wholeNumber(text);
    check(std::llabs(whole) <= (qint64(1) << 53));
    if (const auto value = TextForms::numericValue(text))
        check(!std::isnan(*value));
    (void)TextForms::trimBlanks(text);
    return 0;
}
