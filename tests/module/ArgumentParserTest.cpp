// How xrayutils sub-commands read their arguments: plain arguments, flags, value options,
// numbers, and the usage errors for everything else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/ArgumentParser.h"
#include "cli/SubCommand.h"

namespace {

using xrayutils::ArgumentSpec;
using xrayutils::ParseArguments;
using xrayutils::ParsedArguments;
using xrayutils::UsageError;

const ArgumentSpec kSpec{1, {"--all"}, {"--csv", "--thickness"}};

std::string UsageMessage(const std::vector<std::string>& arguments) {
    try {
        ParseArguments(arguments, kSpec);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(ArgumentParserTest, OptionsMayComeAnywhereAndTakeTheirValues) {
    const ParsedArguments parsed =
        ParseArguments({"--csv", "out.csv", "spectrum.msa", "--all", "--thickness=25"}, kSpec);
    EXPECT_EQ(parsed.plain, std::vector<std::string>{"spectrum.msa"});
    EXPECT_TRUE(parsed.Has("--all"));
    EXPECT_EQ(parsed.Value("--csv"), "out.csv");
    EXPECT_EQ(parsed.Value("--thickness"), "25");
    EXPECT_FALSE(parsed.Value("--missing").has_value());
}

TEST(ArgumentParserTest, DoubleDashEndsTheOptions) {
    const ParsedArguments parsed = ParseArguments({"--", "--all"}, kSpec);
    EXPECT_EQ(parsed.plain, std::vector<std::string>{"--all"});
    EXPECT_FALSE(parsed.Has("--all"));
    EXPECT_EQ(ParseArguments({"-"}, kSpec).plain, std::vector<std::string>{"-"});
}

TEST(ArgumentParserTest, WhatCannotBeUnderstoodIsAUsageError) {
    EXPECT_EQ(UsageMessage({}), "missing argument");
    EXPECT_EQ(UsageMessage({"a", "b"}), "unexpected argument b");
    EXPECT_EQ(UsageMessage({"a", "--frob"}), "unknown option --frob");
    EXPECT_EQ(UsageMessage({"a", "--csv"}), "--csv needs a value");
    EXPECT_EQ(UsageMessage({"a", "--all=yes"}), "--all takes no value");
}

TEST(ArgumentParserTest, NumbersAreWholeAndFinite) {
    EXPECT_EQ(xrayutils::ParseNumber("12.5", "--thickness"), 12.5);
    EXPECT_EQ(xrayutils::ParseNumber("-1e-3", "--thickness"), -1e-3);
    for (const char* text : {"", "12nm", "nan", "inf", "1e400", " 5"})
        EXPECT_THROW(xrayutils::ParseNumber(text, "--thickness"), UsageError) << text;

    EXPECT_EQ(xrayutils::ParseUnsigned("4294967295", "--type"), 4294967295u);
    for (const char* text : {"", "-1", "+1", "4294967296", "3.0", "99999999999"})
        EXPECT_THROW(xrayutils::ParseUnsigned(text, "--type"), UsageError) << text;
    try {
        xrayutils::ParseUnsigned("two", "--type");
    } catch (const UsageError& error) {
        EXPECT_STREQ(error.what(), "--type needs a number, not 'two'");
    }
}

}  // namespace
