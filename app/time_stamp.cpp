#include "app/time_stamp.h"

#include <cstdio>

namespace ob {

char TimeSeparator(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c.isPunct() || c.isSymbol()))
            return c.unicode() < 0x100 ? char(c.unicode()) : ':';
    }
    return ':';
}

std::string TimeStamp(const LocalTime& time, char separator) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%02d", time.hour, separator, time.minute,
                  separator, time.second);
    return text;
}

} // namespace ob
