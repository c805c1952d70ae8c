#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emsa/EMSAReader.h"

namespace xray {

namespace {

void ExpectCut(const std::string& line, const char* keyword, const char* unit, const char* value) {
    const HeaderLine h = SplitHeaderLine(line);
    EXPECT_EQ(h.keyword, keyword) << line;
    EXPECT_EQ(h.unit, unit) << line;
    EXPECT_EQ(h.value, value) << line;
}

TEST(SplitHeaderLineTest, StandardColumns) {
    ExpectCut("#XPERCHAN    : 10.0", "XPERCHAN", "", "10.0");
    ExpectCut("#BEAMKV   -kV: 200.0", "BEAMKV", "kV", "200.0");
    ExpectCut("#beamkv-mv   : 0.2", "BEAMKV", "mv", "0.2");
    ExpectCut("#TITLE       :   spaced out  ", "TITLE", "", "  spaced out  ");
    ExpectCut("#TIME        : 12:30:00", "TIME", "", "12:30:00");  // later colons are values
}

TEST(SplitHeaderLineTest, ShortLinesHaveAnEmptyValue) {
    ExpectCut("#TITLE       :", "TITLE", "", "");
    ExpectCut("#TITLE       : ", "TITLE", "", "");
    ExpectCut("#ENDOFDATA", "ENDOFDATA", "", "");
    ExpectCut("#", "", "", "");
    ExpectCut(" ", "", "", "");
}

TEST(SplitHeaderLineTest, CompactLayoutCutsAtTheFirstColon) {
    ExpectCut("#NPOINTS : 21.", "NPOINTS", "", "21.");
    ExpectCut("#COMMENT: text: more", "COMMENT", "", "text: more");
    ExpectCut("#COMMENT:  two blanks", "COMMENT", "", " two blanks");  // only one blank dropped
    ExpectCut("#BEAMKV-kV: 300", "BEAMKV", "kV", "300");
    ExpectCut("##SPECTRUM    : Spectral Data Starts Here", "SPECTRUM", "",
              "Spectral Data Starts Here");
    ExpectCut("#OFFSET\t: -0.2", "OFFSET", "", "-0.2");
    ExpectCut(":value", "", "", "value");
}

}  // namespace

}  // namespace xray
