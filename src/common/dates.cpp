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

QString isoDate(const QDate& d) {
    const IsoText t = isoDateText(d);
    return QString::fromLatin1(t.text, t.size);
}

namespace {

// n digits of v, zero-padded, at out; past them.
char* padded(char* out, int v, int n) {
    for (int i = n - 1; i >= 0; --i, v /= 10) out[i] = static_cast<char>('0' + v % 10);
    return out + n;
}

} // namespace

IsoText isoDateText(const QDate& d) {
    IsoText t;
    // One conversion from the day number: year(), month() and day() would each make it again.
    int year = 0, month = 0, day = 0;
    d.getDate(&year, &month, &day);
    if (!d.isValid() || year < 1 || year > 9999) return t;
    char* out = padded(t.text, year, 4);
    *out++ = '-';
    out = padded(out, month, 2);
    *out++ = '-';
    t.size = static_cast<int>(padded(out, day, 2) - t.text);
    return t;
}

IsoText isoTimeText(const QTime& t) {
    IsoText text;
    if (!t.isValid()) return text;
    char* out = padded(text.text, t.hour(), 2);
    *out++ = ':';
    out = padded(out, t.minute(), 2);
    *out++ = ':';
    text.size = static_cast<int>(padded(out, t.second(), 2) - text.text);
    return text;
}

} // namespace pellucar
