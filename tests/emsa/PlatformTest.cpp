#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "plugin/Platform.h"

namespace {

TEST(PlatformTest, OpensAnExistingFileAtItsStart) {
    const auto in = Platform::OpenSharedTextFile(std::string(EMSA_FIXTURE_DIR) + "/lowercase.msa");
    ASSERT_NE(in, nullptr);
    const std::string text{std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text.rfind("#format", 0), 0u);
}

TEST(PlatformTest, MissingFileGivesNoStream) {
    EXPECT_EQ(Platform::OpenSharedTextFile(std::string(EMSA_FIXTURE_DIR) + "/missing.msa"),
              nullptr);
}

TEST(PlatformTest, LocalTimeConvertsACalendarInstant) {
    // 2001-09-09 01:46:40 UTC: the same year, month and (within a day) date in every zone.
    const std::tm t = Platform::LocalTime(1000000000);
    EXPECT_EQ(t.tm_year, 101);
    EXPECT_EQ(t.tm_mon, 8);
    EXPECT_GE(t.tm_mday, 8);
    EXPECT_LE(t.tm_mday, 9);
}

}  // namespace
