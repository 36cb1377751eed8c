// The texts bound into the database's queries are Qt's own ISO forms, written without Qt's formatter: any difference
// (a missing pad, a year Qt would not write) changes which rows a query finds.
#include "common/dates.h"

#include <gtest/gtest.h>

#include <string>

using namespace pellucar;

namespace {

std::string bytes(const IsoText& t) { return std::string(t.text, static_cast<size_t>(t.size)); }

} // namespace

TEST(IsoTexts, AreQtsOwnForms) {
    const struct {
        const char* name;
        QDate date;
    } dates[] = {
        {"first year", QDate(1, 1, 1)},    {"padded year", QDate(999, 5, 7)},
        {"a game's", QDate(1996, 1, 2)},   {"last year", QDate(9999, 12, 31)},
        {"past 9999", QDate(10000, 1, 1)}, {"before year 1", QDate(-1, 12, 31)},
        {"invalid", QDate(1990, 2, 30)},   {"null", QDate()},
    };
    for (const auto& row : dates)
        EXPECT_EQ(bytes(isoDateText(row.date)), row.date.toString(Qt::ISODate).toStdString()) << row.name;

    const struct {
        const char* name;
        QTime time;
    } times[] = {
        {"midnight", QTime(0, 0)}, {"padded", QTime(7, 5, 3)}, {"milliseconds dropped", QTime(23, 59, 59, 999)},
        {"null", QTime()},         {"invalid", QTime(24, 0)},
    };
    for (const auto& row : times)
        EXPECT_EQ(bytes(isoTimeText(row.time)), row.time.toString(QStringLiteral("HH:mm:ss")).toStdString())
            << row.name;
}
