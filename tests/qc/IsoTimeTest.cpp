// Acquisition times as the QC history takes and writes them.
#include <gtest/gtest.h>

#include "cli/IsoTime.h"

namespace {

using xrayutils::IsIsoDay;
using xrayutils::IsoTimeText;
using xrayutils::ParseIsoTime;

std::string Normalised(const std::string& text) {
    const auto time = ParseIsoTime(text);
    return time ? IsoTimeText(*time) : "(none)";
}

TEST(IsoTimeTest, TheThreeFormsGiveOneText) {
    EXPECT_EQ(Normalised("2026-03-07"), "2026-03-07T00:00:00");
    EXPECT_EQ(Normalised("2026-03-07T09:05"), "2026-03-07T09:05:00");
    EXPECT_EQ(Normalised("2026-03-07 09:05:59"), "2026-03-07T09:05:59");
    EXPECT_EQ(Normalised("2024-02-29T23:59:60"), "2024-02-29T23:59:60") << "a leap day and second";
    EXPECT_EQ(ParseIsoTime("2026-12-31")->month, 11) << "months count from 0";
    EXPECT_TRUE(IsIsoDay("2026-03-07"));
    EXPECT_FALSE(IsIsoDay("2026-03-07T00:00"));
    EXPECT_FALSE(IsIsoDay("2026-02-30"));
}

TEST(IsoTimeTest, TextsThatAreNotCalendarTimesGiveNothing) {
    for (const char* text : {"", "2026", "2026-3-7", "07-03-2026", "2025-02-29", "2026-04-31",
                             "2026-13-01", "2026-00-10", "2026-03-07T24:00", "2026-03-07T09:60",
                             "2026-03-07T09:05:61", "2026-03-07X09:05", "2026-03-07T09:05Z",
                             "2026-03-07T9:05", "0999-01-01", "+026-01-01", "2026-03-07T09:05:"})
        EXPECT_FALSE(ParseIsoTime(text).has_value()) << text;
}

}  // namespace
