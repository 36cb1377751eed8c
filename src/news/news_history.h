#pragma once
// The stories released so far in a tick game, and the news-history grid made
// from them.

#include "common/report_grid.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace pellucar {

// The game state still declares a record of this name for its own list. This
// one sits in an inline namespace so the two never share a linker name while
// both are built into the core; code that includes only this header names it
// pellucar::NewsHistoryEntry as usual.
inline namespace news {

struct NewsHistoryEntry {
    int number = 0; // running number, 1 for the first story of the game
    QDate newsDate; // NRDate of the story
    QString title;
    QString story;
    QTime newsTime; // the time of day of the period that released it
    bool operator==(const NewsHistoryEntry&) const = default;
};

} // namespace news

// The title column is as wide as this text, which fits the usual titles.
inline constexpr const char* kNewsTitleWidthText = "Government Short-Term Treasury Bill Auction Results:";

// What the player is told when there is no story to list.
inline constexpr const char* kNewsHistoryTitle = "News History";
inline constexpr const char* kNoNewsStoriesText = "* No News Stories *";

// The header row: " # ", "Date", "Time", "Report Title", and "News Story"
// padded with blanks. Each column is as wide as its header text (the title
// column excepted, see kNewsTitleWidthText), so the padding is what gives the
// story column room for its opening words: about as wide as the title column.
QStringList newsGridHeader();

// The texts whose widths set the grid's columns, in column order: the header
// texts, with kNewsTitleWidthText for the title column.
QStringList newsGridWidthTexts();

// A period's time as the grid shows it: 12-hour clock without am/pm, "9:00",
// "9:30", "10:00", "12:00", "2:00", "4:00". An invalid time gives "".
QString newsGridTime(const QTime& time);

// The news history of one game. The count starts at 0 with every game.
//
// There is no upper limit. A fixed table of 500 stories would have to either
// drop the stories past it or refuse them; neither is right, and a quarter of
// tick days (the longest tick game) holds a few hundred stories at most, so
// the list simply grows.
class NewsHistory {
public:
    // Appends a released story as entry NewsCount + 1 and returns it.
    const NewsHistoryEntry& append(const QDate& newsDate, const QString& title, const QString& story,
                                   const QTime& periodTime);
    // A new game starts with an empty history.
    void clear() { entries_.clear(); }

    int newsCount() const { return static_cast<int>(entries_.size()); }
    bool isEmpty() const { return entries_.isEmpty(); }
    const QList<NewsHistoryEntry>& entries() const { return entries_; }

    // The grid: newsGridHeader(), then an entry per story in release order:
    // number, short date, time, title, story. A title or story that reads
    // "Null" is shown as a single blank.
    ReportGrid grid() const;

    bool operator==(const NewsHistory&) const = default;

private:
    QList<NewsHistoryEntry> entries_;
};

} // namespace pellucar
