#include "news/news_options.h"

namespace pellucar {

QString toString(NewsOption option) {
    return option == NewsOption::Annual ? QStringLiteral("&Annual") : QStringLiteral("&Daily");
}

std::optional<NewsOption> newsOptionFromString(const QString& caption) {
    if (caption == QLatin1String("&Annual")) return NewsOption::Annual;
    if (caption == QLatin1String("&Daily")) return NewsOption::Daily;
    return std::nullopt;
}

std::optional<NewsOption> newsOptionFromIndex(int index) {
    if (index == 0) return NewsOption::Annual;
    if (index == 1) return NewsOption::Daily;
    return std::nullopt;
}

void NewsOptions::selectLevel(const QString& level) {
    if (level == QLatin1String("Expert")) counters_ = {1, 1};
}

void NewsOptions::chooseInSetup(NewsOption option) {
    counters_ = {0, 0};
    counters_[slot(option)] = 1;
}

std::optional<NewsOptions> NewsOptions::withCounters(int annual, int daily) {
    if (annual < 0 || annual > kMaxCounter || daily < 0 || daily > kMaxCounter) return std::nullopt;
    NewsOptions o;
    o.counters_ = {annual, daily};
    return o;
}

void NewsOptions::toggle(NewsOption option) {
    // The counter is 16 bits wide; only its parity matters, so it wraps to
    // 0 (even, like the 32767 + 1 it stands for) rather than overflowing.
    int& c = counters_[slot(option)];
    c = c == kMaxCounter ? 0 : c + 1;
}

NewsOption NewsOptions::setupChoice() const {
    return checked(NewsOption::Daily) && !checked(NewsOption::Annual) ? NewsOption::Daily : NewsOption::Annual;
}

QString NewsOptions::summaryText() const {
    const bool annual = checked(NewsOption::Annual);
    const bool daily = checked(NewsOption::Daily);
    if (annual && daily) return QStringLiteral("Annual Reports");
    if (daily) return QStringLiteral("Daily Reports");
    return QStringLiteral("Annual Summary");
}

} // namespace pellucar
