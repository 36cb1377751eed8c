#include "news/news_release.h"

#include <algorithm>
#include <cstdio>

namespace pellucar {

namespace {

// Below the first length a story fits a small label; below the second a
// larger one; from it on it needs the scrolling box.
constexpr qsizetype kMediumStoryLength = 325;
constexpr qsizetype kLongStoryLength = 700;

constexpr int kShortStoryHeight = 1400;
constexpr int kMediumStoryHeight = 2500;

} // namespace

QTime tickPeriodTime(int tickOfDay) {
    if (tickOfDay < 1 || tickOfDay > kTickPeriodsPerDay) return {};
    return QTime(8 + tickOfDay, 0);
}

std::optional<ReleaseWindow> releaseWindow(int tickOfDay) {
    // The windows meet without a gap, so every story of the day up to 23:59
    // comes out exactly once.
    switch (tickOfDay) {
    case 1: return ReleaseWindow{QTime(0, 0), QTime(9, 0)};
    case 2: return ReleaseWindow{QTime(9, 0), QTime(11, 1)};
    case 4: return ReleaseWindow{QTime(11, 1), QTime(14, 0)};
    case 6: return ReleaseWindow{QTime(14, 0), QTime(23, 59)};
    default: return std::nullopt;
    }
}

ReleaseWindow releaseDay() { return {releaseWindow(1)->from, releaseWindow(kTickPeriodsPerDay)->to}; }

namespace {

// The texts the release query binds: 'YYYY-MM-DD' and 'HH:MM:SS'.
QByteArray isoText(const QDate& d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year(), d.month(), d.day());
    return QByteArray(buf);
}
QByteArray isoText(const QTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour(), t.minute(), t.second());
    return QByteArray(buf);
}

bool byStoredDate(const StoredNewsRelease& a, const StoredNewsRelease& b) { return a.storedDate < b.storedDate; }

} // namespace

PeriodStories::PeriodStories(const QDate& first, const QDate& last, QList<StoredNewsRelease> stories)
    : first_(first), last_(last), stories_(std::move(stories)) {
    // Stable: the table's order is kept among the stories of one day.
    std::stable_sort(stories_.begin(), stories_.end(), byStoredDate);
}

bool PeriodStories::covers(const QDate& day) const {
    return day.isValid() && first_.isValid() && first_ <= day && day <= last_;
}

QList<NewsRelease> PeriodStories::released(const QDate& day, const ReleaseWindow& window) const {
    QList<NewsRelease> out;
    if (!covers(day)) return out;
    StoredNewsRelease key;
    key.storedDate = isoText(day);
    const auto [begin, end] = std::equal_range(stories_.begin(), stories_.end(), key, byStoredDate);
    const QByteArray from = isoText(window.from), to = isoText(window.to);
    for (auto it = begin; it != end; ++it)
        if (it->storedTime >= from && it->storedTime < to) out.append(it->release);
    return out;
}

QString toString(StoryDisplay display) {
    return display == StoryDisplay::Label ? QStringLiteral("Labelnews") : QStringLiteral("txtNewsDisplay");
}

std::optional<StoryDisplay> storyDisplayFromString(const QString& text) {
    if (text == QLatin1String("Labelnews")) return StoryDisplay::Label;
    if (text == QLatin1String("txtNewsDisplay")) return StoryDisplay::TextBox;
    return std::nullopt;
}

StoryWindow storyWindow(qsizetype storyLength) {
    if (storyLength < kMediumStoryLength) return {kShortStoryHeight, StoryDisplay::Label};
    if (storyLength < kLongStoryLength) return {kMediumStoryHeight, StoryDisplay::Label};
    return kDefaultStoryWindow;
}

std::optional<BackgroundStory> BackgroundStory::lastLookedUp(int year) {
    if (year != 0 && (year < 1983 || year > 1996)) return std::nullopt;
    BackgroundStory s;
    s.year_ = year;
    return s;
}

std::optional<BackgroundLookup> BackgroundStory::lookup(const QDate& gameDate) {
    if (gameDate.isValid() && gameDate.year() >= 1984 && gameDate.year() <= 1997) year_ = gameDate.year() - 1;
    if (year_ == 0) return std::nullopt;
    return BackgroundLookup{year_, QDate(year_, 1, 1)};
}

QString backgroundCaption(const QString& marketName, int year) {
    return marketName + QStringLiteral(" Futures Market: ") + QString::number(year) +
           QStringLiteral(" News Background ");
}

} // namespace pellucar
