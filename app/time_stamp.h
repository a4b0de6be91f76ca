#pragma once
// The "hh:mm:ss" stamp of the operations log, with the user's own time separator.

#include "core/wizard_view.h"

#include <QLocale>
#include <string>

namespace ob {

// The separator that the locale puts between hours and minutes; ":" where it has none
// (a separator spelled with letters, or one outside Latin-1).
char TimeSeparator(const QLocale& locale);

std::string TimeStamp(const LocalTime& time, char separator);

} // namespace ob
