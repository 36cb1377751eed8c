#pragma once
// The two news options of the Options menu ("&Annual", "&Daily"). Each keeps
// a counter; the item is checked while its counter is odd. The menu's check
// marks are drawn from here and never read back.

#include <QString>

#include <array>
#include <optional>

namespace pellucar {

// Indices of the menu's control array.
enum class NewsOption { Annual = 0, Daily = 1 };

// The menu captions "&Annual" and "&Daily".
QString toString(NewsOption option);
std::optional<NewsOption> newsOptionFromString(const QString& caption);
// Item 0 or 1 of the news menu; index 2 (the background story) is no option.
std::optional<NewsOption> newsOptionFromIndex(int index);

class NewsOptions {
public:
    // As the menu is designed: "&Annual" checked, "&Daily" not.
    NewsOptions() = default;

    // Choosing a level in the Options menu. "Expert" sets both counters to 1
    // (both checked). Nothing says what a novice game wants of them, so
    // "Novice" (and any other text) leaves them as they are.
    void selectLevel(const QString& level);
    // The setup window checks the one option the player picked there and
    // unchecks the other.
    void chooseInSetup(NewsOption option);
    // The player chose the menu item: its counter goes up by one.
    void toggle(NewsOption option);

    int counter(NewsOption option) const { return counters_[slot(option)]; }
    // Options with these counters, or none when a counter is out of the
    // range toggle() keeps it in.
    static std::optional<NewsOptions> withCounters(int annual, int daily);
    bool checked(NewsOption option) const { return counters_[slot(option)] % 2 != 0; }

    // The option the setup window starts from: "&Daily" when only it is
    // checked, "&Annual" otherwise.
    NewsOption setupChoice() const;
    // The news line of the level summary window: "Annual Reports" with both
    // checked, "Daily Reports" with only "&Daily", "Annual Summary" otherwise.
    QString summaryText() const;

    bool operator==(const NewsOptions&) const = default;

private:
    static constexpr int kMaxCounter = 32767;
    static std::size_t slot(NewsOption option) { return static_cast<std::size_t>(option); }
    std::array<int, 2> counters_{1, 0};
};

} // namespace pellucar
