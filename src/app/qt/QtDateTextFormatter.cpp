#include "app/qt/QtDateTextFormatter.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include "common/DateTime.h"

namespace kel {

std::string QtDateTextFormatter::DateTimeText(double dateTime) const {
    const DateTimeParts parts = DecodeDateTime(dateTime);
    const QLocale locale = QLocale::system();
    QString text = locale.toString(QDate(parts.year, parts.month, parts.day), QLocale::ShortFormat);
    const QTime time(parts.hour, parts.minute, parts.second, parts.millisecond);
    if (time != QTime(0, 0)) {
        // The long format names a time zone, which a profile's local time has not.
        QString format = locale.timeFormat(QLocale::LongFormat);
        format.remove(QLatin1Char('t'));
        text += QLatin1Char(' ') + locale.toString(time, format.trimmed());
    }
    return text.toStdString();
}

}  // namespace kel
