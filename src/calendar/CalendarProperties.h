#pragma once

// The properties of our own that a calendar file carries for each reminder,
// beside what iCalendar can say itself.
namespace CalendarProperties {

// The reminder's recurrence name exactly as stored ("Monthly Reminder"). Our
// rule moves a monthly reminder on the 31st to the 3rd of the month after a
// short one, where an RRULE skips the short month; reading this back keeps
// our rule.
inline constexpr char kRecurrence[] = "X-PINGALO-RECURRENCE";
// The reminder's sound name ("BEEP"); absent when it has none.
inline constexpr char kSound[] = "X-PINGALO-SOUND";

} // namespace CalendarProperties
