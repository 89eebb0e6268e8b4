// Speed texts of the statistics windows.

#include "records/statistics_text.h"

#include <gtest/gtest.h>

TEST(StatisticsText, Speed)
{
    struct Case {
        qint32 points, seconds;
        const char* text;
    } cases[] = {{0, 0, "  0.0"},     {7, 0, "  0.0"}, {600, 3000, " 12.0"},
                 {150, 600, " 15.0"}, {1, 7, "  8.6"}, {100000, 60, "100000.0"},
                 {-30, 60, "-30.0"}};
    for (const Case& c : cases)
        EXPECT_EQ(SpeedText(c.points, c.seconds), c.text) << c.points << "/" << c.seconds;
}
