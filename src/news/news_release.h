#pragma once
// When the stories of a tick day come out, and how each one is shown. Values
// only: the caller runs the query and opens the news window.

#include "market/database.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <optional>

namespace pellucar {

// The stories of a checkpoint: NRTime from `from` (inclusive) to `to`
// (exclusive), on the day of the period.
struct ReleaseWindow {
    QTime from;
    QTime to;
};

// A tick day has six hourly periods, 1 (9:00) to 6 (14:00).
inline constexpr int kTickPeriodsPerDay = 6;

// The time of day of tick period `tickOfDay` (1..6): 9:00, 10:00, 11:00,
// 12:00, 13:00, 14:00. An invalid time outside 1..6.
QTime tickPeriodTime(int tickOfDay);

// The window released at tick period `tickOfDay` (1..6). Only the 9:00, 10:00,
// 12:00 and 14:00 periods release: 00:00-9:00, 9:00-11:01, 11:01-14:00 and
// 14:00-23:59. A story stamped 23:59 or later therefore never comes out. The
// other periods, and numbers outside 1..6, release nothing.
std::optional<ReleaseWindow> releaseWindow(int tickOfDay);

// From the first window's start to the last one's end: every story that
// any checkpoint of a day can release.
ReleaseWindow releaseDay();

// The stories of a run of tick days, read with the days so that a Forward
// press finds its checkpoint's stories in memory. A story is released by the
// comparison the database makes: its stored date equal to the day's ISO
// text, its stored time from the window's start (inclusive) to its end
// (exclusive), compared as texts; in the table's order.
class PeriodStories {
public:
    PeriodStories() = default;
    // `stories` must be every release of the days first to last within
    // releaseDay(), in the table's order.
    PeriodStories(const QDate& first, const QDate& last, QList<StoredNewsRelease> stories);

    // Whether the stories of `day` are all here.
    bool covers(const QDate& day) const;
    // The stories of `day` released by `window`; none for a day not covered.
    QList<NewsRelease> released(const QDate& day, const ReleaseWindow& window) const;

private:
    QDate first_, last_;
    QList<StoredNewsRelease> stories_; // by stored date, the table's order within one
};

// Where the news window shows a story: the label for short stories, the
// scrolling text box for long ones.
enum class StoryDisplay { Label, TextBox };

// The control that shows the story: "Labelnews" or "txtNewsDisplay".
QString toString(StoryDisplay display);
std::optional<StoryDisplay> storyDisplayFromString(const QString& text);

struct StoryWindow {
    int heightTwips = 0;
    StoryDisplay display = StoryDisplay::TextBox;
};

// The news window's size when it is not showing a released story (and its
// size again after every batch of releases).
inline constexpr int kNewsWindowDefaultHeight = 5000;
inline constexpr StoryWindow kDefaultStoryWindow{kNewsWindowDefaultHeight, StoryDisplay::TextBox};

// Sized by the story's length in characters: under 325 a 1400-twip window
// with the label, 325 to 699 a 2500-twip one with the label, 700 and more the
// default window with the scrolling text box.
StoryWindow storyWindow(qsizetype storyLength);
inline StoryWindow storyWindow(const QString& story) { return storyWindow(story.size()); }

// The overview year and lookup date for a background story.
struct BackgroundLookup {
    int year = 0;
    QDate date; // 1 January of `year`
};

// The background story is the overview of the calendar year before the game
// date. The database holds overviews of 1983 to 1996, so only game dates in
// 1984 to 1997 move the year; any other date keeps the previous lookup. The
// year outlives a game, as the player's last look at the background does.
class BackgroundStory {
public:
    // The lookup for the current game date, or none when no date in 1984 to
    // 1997 has ever been looked up.
    std::optional<BackgroundLookup> lookup(const QDate& gameDate);
    // The year of the last lookup, 0 before the first.
    int year() const { return year_; }
    // A story last looked up for `year` (0: never), or none when no lookup
    // gives that year.
    static std::optional<BackgroundStory> lastLookedUp(int year);

    bool operator==(const BackgroundStory&) const = default;

private:
    int year_ = 0;
};

// "<market> Futures Market: <year> News Background ".
QString backgroundCaption(const QString& marketName, int year);

} // namespace pellucar
