// The news history of a game, its grid, and the two news options with their check marks.
#include "news/news_history.h"
#include "news/news_options.h"

#include <gtest/gtest.h>

using namespace pellucar;

TEST(NewsHistory, GridShowsOneRowPerStoryWithShortDateAndHourWithoutSuffix) {
    NewsHistory h;
    const QDate day(1996, 1, 19);
    h.append(day, QStringLiteral("Jobs Report"), QStringLiteral("Payrolls rose."), QTime(9, 0));
    h.append(day, QStringLiteral("Null"), QStringLiteral("Null"), QTime(10, 0));
    h.append(day.addDays(3), QStringLiteral("Null and void"), QStringLiteral("Story"), QTime(12, 0));
    h.append(day.addDays(3), QStringLiteral("Late"), QStringLiteral("Afternoon story."), QTime(14, 30));
    ASSERT_EQ(h.newsCount(), 4);

    const ReportGrid grid = h.grid();
    EXPECT_EQ(grid.header.mid(0, 4), QStringList({" # ", "Date", "Time", "Report Title"}));
    EXPECT_TRUE(grid.header[4].startsWith(QStringLiteral("News Story ")));

    const auto entry = [](const QStringList& cells) { return ReportRow{ReportRow::Kind::Entry, cells}; };
    EXPECT_EQ(grid.rows, QList<ReportRow>({entry({"1", "1/19/1996", "9:00", "Jobs Report", "Payrolls rose."}),
                                           entry({"2", "1/19/1996", "10:00", " ", " "}),
                                           entry({"3", "1/22/1996", "12:00", "Null and void", "Story"}),
                                           entry({"4", "1/22/1996", "2:30", "Late", "Afternoon story."})}));
    EXPECT_EQ(newsGridTime(QTime()), "");
    // A new game numbers its stories from 1 again.
    h.clear();
    EXPECT_TRUE(h.isEmpty() && h.grid().rows.isEmpty());
    EXPECT_EQ(h.append(day, QStringLiteral("New game"), QStringLiteral("S"), QTime(10, 0)).number, 1);
}

TEST(NewsOptions, EachChoiceFlipsTheCheckFromTheCounterSetByTheLevelOrSetup) {
    NewsOptions o;
    // Whether the annual and the daily item are checked.
    const auto checks = [&o] { return std::pair(o.checked(NewsOption::Annual), o.checked(NewsOption::Daily)); };
    EXPECT_EQ(checks(), std::pair(true, false));
    o.selectLevel(QStringLiteral("Expert"));
    EXPECT_EQ(std::pair(o.counter(NewsOption::Annual), o.counter(NewsOption::Daily)), std::pair(1, 1));
    EXPECT_EQ(o.summaryText(), "Annual Reports");
    o.toggle(NewsOption::Daily);
    EXPECT_EQ(checks(), std::pair(true, false)) << "the other item is left alone";
    o.toggle(NewsOption::Daily);
    EXPECT_EQ(checks(), std::pair(true, true));
    EXPECT_EQ(o.counter(NewsOption::Daily), 3);

    o.toggle(NewsOption::Annual);
    EXPECT_EQ(o.setupChoice(), NewsOption::Daily);
    EXPECT_EQ(o.summaryText(), "Daily Reports");
    o.selectLevel(QStringLiteral("Novice"));
    EXPECT_EQ(o.setupChoice(), NewsOption::Daily) << "a novice level leaves the options as they are";

    o.chooseInSetup(NewsOption::Annual);
    EXPECT_EQ(checks(), std::pair(true, false));
    EXPECT_EQ(o.summaryText(), "Annual Summary");

    EXPECT_EQ(newsOptionFromIndex(1), NewsOption::Daily);
    EXPECT_FALSE(newsOptionFromIndex(2).has_value()) << "the background story is no option";
}
