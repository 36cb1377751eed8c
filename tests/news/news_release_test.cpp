// The stories each hour of a tick day releases, the news window's size, the background story.
#include "market/database.h"
#include "news/news_release.h"
#include "support/fixture_db.h"

#include <gtest/gtest.h>

using namespace pellucar;
using pellucar::test::FixtureDb;

namespace {

QStringList titles(const QList<NewsRelease>& stories) {
    QStringList out;
    for (const NewsRelease& n : stories) out << n.title;
    return out;
}

// The titles a checkpoint releases, asked of the database; the stories read with the days must match.
QStringList releasedAt(MarketDatabase& db, const PeriodStories& read, const QDate& day, int tickOfDay) {
    const std::optional<ReleaseWindow> w = releaseWindow(tickOfDay);
    if (!w) return {};
    const QList<NewsRelease> asked = db.newsReleases(day, w->from, w->to);
    EXPECT_EQ(read.released(day, *w), asked) << "read with the days, " << day.toString().toStdString();
    return titles(asked);
}

} // namespace

TEST(NewsCheckpoints, EachHourReleasesItsWindowOfTheDayAndTheEdgesFallOnTheLaterSide) {
    FixtureDb fx(QStringLiteral("news_checkpoints"));
    const QDate day(1996, 3, 8);
    // Stored out of time order within a window: the table's order is kept.
    for (const char* t : {"08:59", "00:00", "11:00", "09:00", "11:01", "13:59", "14:00", "23:58", "23:59"})
        fx.addNews(day, QLatin1String(t) + QStringLiteral(":00"), QLatin1String(t), QStringLiteral("story"));
    fx.addNews(day.addDays(1), QStringLiteral("10:00:00"), QStringLiteral("next day"), QStringLiteral("story"));
    // Stored texts of other forms are compared as texts: "10:00" lies between "09:00:00" and "11:01:00",
    // "9:00:00" after "23:59:00"; a date with a time part is no day's date.
    fx.addNews(day, QStringLiteral("10:00"), QStringLiteral("short time"), QStringLiteral("story"));
    fx.addNews(day, QStringLiteral("9:00:00"), QStringLiteral("no leading zero"), QStringLiteral("story"));
    fx.exec(QStringLiteral("INSERT INTO SortedTickNewsReleases VALUES "
                           "('1996-03-08 00:00:00', '10:00:00', 'timed date', 'story')"));

    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << db.lastError().toStdString();
    const ReleaseWindow all = releaseDay();
    const PeriodStories read(day, day.addDays(1), db.newsReleasesOfDays(day, day.addDays(1), all.from, all.to));
    const QList<QStringList> expected = {
        {"08:59", "00:00"},               // 9:00
        {"11:00", "09:00", "short time"}, // 10:00: 11:00 still belongs here
        {},                               // 11:00 releases nothing
        {"11:01", "13:59"},               // 12:00: from 11:01 on
        {},                               // 13:00 releases nothing
        {"14:00", "23:58"},               // 14:00: 23:59 never comes out
    };
    for (int hour = 1; hour <= kTickPeriodsPerDay; ++hour) {
        EXPECT_EQ(releasedAt(db, read, day, hour), expected[hour - 1]) << "tick period " << hour;
        EXPECT_EQ(tickPeriodTime(hour), QTime(8 + hour, 0));
    }
    EXPECT_FALSE(releaseWindow(0).has_value());
    EXPECT_FALSE(releaseWindow(7).has_value());
    EXPECT_FALSE(tickPeriodTime(0).isValid());
    EXPECT_EQ(releasedAt(db, read, day.addDays(1), 2), QStringList{"next day"});
    EXPECT_TRUE(read.released(day.addDays(2), *releaseWindow(2)).isEmpty()) << "a day not read";
}

TEST(NewsWindow, SizeAndDisplayFollowTheStoryLength) {
    struct Case {
        int length, height;
        StoryDisplay display;
    };
    for (const Case& c : {Case{0, 1400, StoryDisplay::Label}, Case{324, 1400, StoryDisplay::Label},
                          Case{325, 2500, StoryDisplay::Label}, Case{699, 2500, StoryDisplay::Label},
                          Case{700, 5000, StoryDisplay::TextBox}, Case{5000, 5000, StoryDisplay::TextBox}}) {
        const StoryWindow w = storyWindow(QString(c.length, QLatin1Char('x')));
        EXPECT_EQ(w.heightTwips, c.height) << c.length << " characters";
        EXPECT_EQ(w.display, c.display) << c.length << " characters";
    }
}

TEST(BackgroundStory, ShowsTheOverviewOfTheYearBeforeAndKeepsItOutsideThePlayedYears) {
    FixtureDb fx(QStringLiteral("news_background"));
    fx.addOverview(QDate(1989, 1, 1), 3, QStringLiteral("Oil in 1989"));
    fx.addOverview(QDate(1990, 1, 1), 3, QStringLiteral("Oil in 1990"));
    MarketDatabase db;
    ASSERT_TRUE(db.open(fx.path())) << db.lastError().toStdString();

    BackgroundStory story;
    EXPECT_FALSE(story.lookup(QDate(1983, 12, 30)).has_value()) << "nothing looked up yet";

    const std::optional<BackgroundLookup> l = story.lookup(QDate(1990, 6, 15));
    ASSERT_TRUE(l.has_value());
    EXPECT_EQ(l->year, 1989);
    EXPECT_EQ(db.overviewNews(l->date, 3), "Oil in 1989");
    EXPECT_EQ(backgroundCaption(QStringLiteral("Oil"), l->year), "Oil Futures Market: 1989 News Background ");

    // A date past the played years keeps the previous lookup.
    EXPECT_EQ(story.lookup(QDate(1998, 1, 2))->year, 1989);
    EXPECT_EQ(story.lookup(QDate(1984, 1, 3))->date, QDate(1983, 1, 1));
    EXPECT_EQ(story.lookup(QDate(1997, 12, 31))->year, 1996);
}
