// The two news options and their check marks.
#include "news/news_options.h"

#include <gtest/gtest.h>

using namespace pellucar;

TEST(NewsOptions, EachChoiceFlipsTheCheckFromTheCounterSetByTheLevelOrSetup) {
    NewsOptions o;
    EXPECT_TRUE(o.checked(NewsOption::Annual));
    EXPECT_FALSE(o.checked(NewsOption::Daily));

    o.selectLevel(QStringLiteral("Expert"));
    EXPECT_EQ(o.counter(NewsOption::Annual), 1);
    EXPECT_EQ(o.counter(NewsOption::Daily), 1);
    EXPECT_EQ(o.summaryText(), "Annual Reports");
    o.toggle(NewsOption::Daily);
    EXPECT_FALSE(o.checked(NewsOption::Daily));
    EXPECT_TRUE(o.checked(NewsOption::Annual)) << "the other item is left alone";
    o.toggle(NewsOption::Daily);
    EXPECT_TRUE(o.checked(NewsOption::Daily));
    EXPECT_EQ(o.counter(NewsOption::Daily), 3);

    o.toggle(NewsOption::Annual);
    EXPECT_EQ(o.setupChoice(), NewsOption::Daily);
    EXPECT_EQ(o.summaryText(), "Daily Reports");
    o.selectLevel(QStringLiteral("Novice"));
    EXPECT_EQ(o.setupChoice(), NewsOption::Daily) << "a novice level leaves the options as they are";

    o.chooseInSetup(NewsOption::Annual);
    EXPECT_TRUE(o.checked(NewsOption::Annual));
    EXPECT_FALSE(o.checked(NewsOption::Daily));
    EXPECT_EQ(o.summaryText(), "Annual Summary");

    EXPECT_EQ(newsOptionFromIndex(1), NewsOption::Daily);
    EXPECT_FALSE(newsOptionFromIndex(2).has_value()) << "the background story is no option";
}
