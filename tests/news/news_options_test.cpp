// The two news options and their check marks.
#include "news/news_options.h"

#include <gtest/gtest.h>

using namespace pellucar;

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
