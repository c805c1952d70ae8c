// The EMSA/MAS header written for an imported image: dates and clock times turned back into
// the standard's forms, and the signal type left out where the reader would rescale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/EmsaHeader.h"
#include "emsa/SpectrumTagValues.h"

using namespace xray;

namespace {

using dmhost::TagValue;
using xrayutils::EmsaHeaderLine;

std::string TwoDigits(int64_t value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

TEST(StandardTime, UndoesTheImportsClockTextForEveryHourOfTheDay) {
    for (int64_t hour = 0; hour < 24; ++hour) {
        const ClockTime time{hour, hour % 60, (hour * 7) % 60};
        EXPECT_EQ(xrayutils::StandardTime(ClockText(time)),
                  TwoDigits(hour) + ":" + TwoDigits(time.minute) + ":" + TwoDigits(time.second))
            << ClockText(time);
    }
}

TEST(StandardTime, TextsThatAreNoTimeOfDayGiveNothing) {
    for (const char* text :
         {"", "-1:-1:-1 AM", "12:0:0 AM", "1:60:0 PM", "1:5 PM", "1:5:9", "1:5:9 XM", "1:5:9 PM x"})
        EXPECT_EQ(xrayutils::StandardTime(text), "") << text;
}

TEST(StandardDate, MonthNumberBecomesItsName) {
    EXPECT_EQ(xrayutils::StandardDate("1/12/2010"), "12-JAN-2010");
    EXPECT_EQ(xrayutils::StandardDate("12/5/99"), "05-DEC-99");
    for (const char* text : {"0/-1/-1", "13/1/2010", "0/0/0", "1/12", "1/12/2010x", ""})
        EXPECT_EQ(xrayutils::StandardDate(text), "") << text;
}

std::vector<std::string> Keywords(const std::vector<EmsaHeaderLine>& lines) {
    std::vector<std::string> keywords;
    for (const EmsaHeaderLine& line : lines)
        keywords.push_back(line.keyword);
    return keywords;
}

dmhost::ImageSnapshot Image(float scale, const std::string& units, const std::string& detector) {
    dmhost::ImageSnapshot image;
    image.values = {1, 2};
    image.calibrations = {dmhost::DimensionCalibration{0.0f, scale, units}};
    image.tags = TagValue::Group(
        "",
        {TagValue::Group("EDS", {TagValue::Group("Detector info",
                                                 {TagValue::String("Detector type", detector)})})});
    return image;
}

bool HasKeyword(const std::vector<EmsaHeaderLine>& lines, const std::string& keyword) {
    const std::vector<std::string> keywords = Keywords(lines);
    return std::find(keywords.begin(), keywords.end(), keyword) != keywords.end();
}

TEST(EmsaHeader, SignalTypeOnlyWhereTheReaderKeepsTheChannelWidth) {
    EXPECT_TRUE(HasKeyword(xrayutils::EmsaHeaderOf(Image(0.01f, "keV", "SIUTW")), "SIGNALTYPE"));
    EXPECT_TRUE(HasKeyword(xrayutils::EmsaHeaderOf(Image(1.0f, "keV", "")), "SIGNALTYPE"));
    EXPECT_FALSE(HasKeyword(xrayutils::EmsaHeaderOf(Image(2.0f, "keV", "")), "SIGNALTYPE"));
    EXPECT_TRUE(HasKeyword(xrayutils::EmsaHeaderOf(Image(0.5f, "eV", "SERIAL")), "SIGNALTYPE"));
    EXPECT_FALSE(HasKeyword(xrayutils::EmsaHeaderOf(Image(0.05f, "eV", "PARALL")), "SIGNALTYPE"));
    EXPECT_FALSE(HasKeyword(xrayutils::EmsaHeaderOf(Image(0.5f, "eV", "")), "SIGNALTYPE"));
    EXPECT_TRUE(HasKeyword(xrayutils::EmsaHeaderOf(Image(0.5f, "eV", "SERIAL")), "ELSDET"));
}

}  // namespace
