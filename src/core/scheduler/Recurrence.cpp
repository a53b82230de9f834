#include "core/scheduler/Recurrence.h"

#include "core/store/TextForms.h"

namespace Recurrence {

QStringList names()
{
    return {kOneTime, kDaily, kWeekly, kMonthly, kAnnual, kBill};
}

bool isOneTime(const QString &name)
{
    return name != kDaily && name != kWeekly && name != kMonthly && name != kAnnual &&
           name != kBill;
}

QDate nextDay(const QString &name, const QDate &firing)
{
    const int y = firing.year(), m = firing.month(), d = firing.day();
    if (name == kDaily)
        return TextForms::dateSerial(y, m, d + 1);
    if (name == kWeekly)
        return TextForms::dateSerial(y, m, d + 7);
    if (name == kMonthly || name == kBill)
        return TextForms::dateSerial(y, m + 1, d);
    if (name == kAnnual)
        return TextForms::dateSerial(y + 1, m, d);
    return QDate();
}

} // namespace Recurrence
