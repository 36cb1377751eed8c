#pragma once
#include <QDate>
#include <QString>
#include <QTime>

namespace pellucar {

// The short date form the game shows ("1/2/1990").
QString shortDate(const QDate& d);
// "Sunday" .. "Saturday".
QString weekdayName(const QDate& d);
// "9:00 am", "12:00 pm", "2:00 pm".
QString clockTime12(const QTime& t);
// ISO text used in the database.
QString isoDate(const QDate& d);

// The database's 'YYYY-MM-DD' and 'HH:MM:SS' texts as bytes to bind, written out directly: every query of a load binds
// two, and Qt's general formatter took an eighth of a load's time under the sanitizers. Empty, as Qt's own forms are,
// for an invalid date or time and for a year outside 1-9999.
struct IsoText {
    char text[10];
    int size = 0;
};
IsoText isoDateText(const QDate& d);
IsoText isoTimeText(const QTime& t);

} // namespace pellucar
