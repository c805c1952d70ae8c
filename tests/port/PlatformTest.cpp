#include <gtest/gtest.h>

#include "port/Platform.h"

namespace {

// Opening files is exercised by every fixture read; local time is used by no reader test.
TEST(PlatformTest, LocalTimeConvertsACalendarInstant) {
    // 2001-09-09 01:46:40 UTC: the same year and month, and a date within a day, anywhere.
    const std::tm t = xray::port::LocalTime(1000000000);
    EXPECT_EQ(t.tm_year, 101);
    EXPECT_EQ(t.tm_mon, 8);
    EXPECT_GE(t.tm_mday, 8);
    EXPECT_LE(t.tm_mday, 9);
}

TEST(PlatformTest, UniversalTimeIsTheSameEverywhere) {
    const std::tm t = xray::port::UniversalTime(1000000000);  // 2001-09-09 01:46:40 UTC
    EXPECT_EQ(t.tm_year, 101);
    EXPECT_EQ(t.tm_mon, 8);
    EXPECT_EQ(t.tm_mday, 9);
    EXPECT_EQ(t.tm_hour, 1);
    EXPECT_EQ(t.tm_min, 46);
    EXPECT_EQ(t.tm_sec, 40);
}

}  // namespace
