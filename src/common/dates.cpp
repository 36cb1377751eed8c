#include "common/dates.h"

namespace pellucar {

QString shortDate(const QDate& d) {
    if (!d.isValid()) return {};
    return QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}

QString weekdayName(const QDate& d) {
    static const char* names[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    if (!d.isValid()) return {};
    return QString::fromLatin1(names[d.dayOfWeek() - 1]);
}

QString clockTime12(const QTime& t) {
    int h = t.hour() % 12;
    if (h == 0) h = 12;
    return QStringLiteral("%1:%2 %3")
        .arg(h)
        .arg(t.minute(), 2, 10, QChar('0'))
        .arg(t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm"));
}

QString isoDate(const QDate& d) { return d.toString(Qt::ISODate); }

} // namespace pellucar
