#include "common/dates.h"

#include <charconv>

namespace pellucar {

QString shortDate(const QDate& d) {
    if (!d.isValid()) return {};
    // Written out in one piece: the clock shows a date at every press.
    char text[40];
    char* out = text;
    for (const int field : {d.month(), d.day(), d.year()}) {
        if (out != text) *out++ = '/';
        out = std::to_chars(out, text + sizeof text - 1, field).ptr;
    }
    return QString::fromLatin1(text, out - text);
}

QString weekdayName(const QDate& d) {
    // Literals, so a copy costs nothing.
    static const QString names[] = {QStringLiteral("Monday"),   QStringLiteral("Tuesday"), QStringLiteral("Wednesday"),
                                    QStringLiteral("Thursday"), QStringLiteral("Friday"),  QStringLiteral("Saturday"),
                                    QStringLiteral("Sunday")};
    if (!d.isValid()) return {};
    return names[d.dayOfWeek() - 1];
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
