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

} // namespace pellucar
