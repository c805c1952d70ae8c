// The derived tag values on records built in place: clock and date texts, durations that
// carry across minutes, hours and midnight or make no sense, detectors, windows, rates.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "emsa/SpectrumTagValues.h"

namespace {

EMSASpectrum StartingAt(int32_t hour, int32_t minute, int32_t second, SignalType type,
                        double duration) {
    EMSASpectrum s;
    s.acquired.hour = hour;
    s.acquired.minute = minute;
    s.acquired.second = second;
    s.signaltype = type;
    if (type == SignalType::ELS)
        s.dwelltime = duration;
    else
        s.realtime = duration;
    return s;
}

TEST(ClockText, TwelveHourClockWithTheNoonAndMidnightSwap) {
    struct Case {
        int64_t hour, minute, second;
        const char* text;
    };
    const Case cases[] = {{0, 30, 0, "0:30:0 AM"},     {9, 5, 3, "9:5:3 AM"},
                          {12, 30, 0, "0:30:0 PM"},    {13, 5, 0, "1:5:0 PM"},
                          {23, 59, 59, "11:59:59 PM"}, {24, 0, 15, "0:0:15 AM"},
                          {25, 1, 2, "13:1:2 PM"},     {-1, -1, -1, "-1:-1:-1 AM"}};
    for (const Case& c : cases)
        EXPECT_EQ(ClockText(ClockTime{c.hour, c.minute, c.second}), c.text) << c.text;
}

TEST(DateText, MonthCountsFromOneInTheText) {
    CalendarTime t;
    EXPECT_EQ(DateText(t), "0/-1/-1");
    t.month = 0;
    t.day = 12;
    t.year = 2010;
    EXPECT_EQ(DateText(t), "1/12/2010");
    t.month = 11;
    t.year = 9;
    EXPECT_EQ(DateText(t), "12/12/9") << "a two-digit year stays as written";
}

TEST(EndTime, DurationCarriesSecondsIntoMinutesAndMinutesIntoHours) {
    struct Case {
        SignalType type;
        double duration;
        int64_t hour, minute, second;
    };
    const Case cases[] = {
        {SignalType::EDS, 100.5, 12, 31, 40},  // from 12:30:00
        {SignalType::EDS, 3725.9, 13, 32, 5},  // one hour, two minutes, 5.9 s
        {SignalType::EDS, 59.0, 12, 30, 59},  {SignalType::EDS, 1800.0, 13, 0, 0},
        {SignalType::ELS, 30.0, 12, 30, 30},  {SignalType::CLS, 500.0, 12, 30, 0},
        {SignalType::None, 500.0, 12, 30, 0},
    };
    for (const Case& c : cases) {
        const ClockTime end = EndTime(StartingAt(12, 30, 0, c.type, c.duration));
        EXPECT_EQ(end.hour, c.hour) << c.duration;
        EXPECT_EQ(end.minute, c.minute) << c.duration;
        EXPECT_EQ(end.second, c.second) << c.duration;
    }
    const ClockTime late = EndTime(StartingAt(23, 59, 30, SignalType::EDS, 45.0));
    EXPECT_EQ(ClockText(late), "0:0:15 AM");
    EXPECT_EQ(late.hour, 24) << "not wrapped at midnight";
}

TEST(EndTime, DurationThatIsNotAPositiveNumberAddsNothing) {
    const double nonsense[] = {-3725.0, -0.5, std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::infinity()};
    for (double d : nonsense) {
        const ClockTime end = EndTime(StartingAt(8, 15, 20, SignalType::EDS, d));
        EXPECT_EQ(ClockText(end), "8:15:20 AM") << d;
    }
    const ClockTime endless =
        EndTime(StartingAt(8, 15, 20, SignalType::EDS, std::numeric_limits<double>::infinity()));
    EXPECT_GT(endless.hour, 1000000) << "capped, not overflowed";
    EXPECT_EQ(endless.minute, 15);
}

TEST(DetectorTypeText, EachSignalTypeNamesItsOwnDetector) {
    EMSASpectrum s;
    s.edsdet = EdsDetector::GEWLS;
    s.elsdet = ElsDetector::PARALL;
    EXPECT_EQ(DetectorTypeText(s), "") << "no signal type";
    s.signaltype = SignalType::EDS;
    EXPECT_EQ(DetectorTypeText(s), "GEWLS");
    s.signaltype = SignalType::ELS;
    EXPECT_EQ(DetectorTypeText(s), "PARALL");
    s.signaltype = SignalType::CLS;
    EXPECT_EQ(DetectorTypeText(s), "");
    s.signaltype = SignalType::EDS;
    const char* names[] = {"", "SIBEW", "SIUTW", "SIWLS", "GEBEW", "GEUTW", "GEWLS"};
    for (int32_t d = 0; d <= 6; ++d) {
        s.edsdet = static_cast<EdsDetector>(d);
        EXPECT_EQ(DetectorTypeText(s), names[d]) << d;
    }
}

TEST(WindowThickness, TheWindowTypeChoosesItsThickness) {
    EMSASpectrum s;
    s.tbewind = 1;
    s.talwind = 2;
    s.tpywind = 3;
    s.tbnwind = 4;
    s.tdiwind = 5;
    s.thcwind = 6;
    for (int32_t w = 0; w <= 5; ++w) {
        s.window_type = static_cast<WindowType>(w);
        EXPECT_EQ(WindowThickness(s), w + 1.0) << w;
    }
    s.window_type = static_cast<WindowType>(6);
    EXPECT_EQ(WindowThickness(s), 0.0) << "an unknown type";
}

TEST(EnergyRange, ChannelsAboveTheOffsetTimesTheWidthTruncated) {
    EMSASpectrum s;
    s.npoints = 2048;
    s.choffset = 20;
    s.xperchan = 0.01;
    EXPECT_EQ(EnergyRange(s), 20.0);
    s.choffset = 2100;
    EXPECT_EQ(EnergyRange(s), 0.0) << "-0.52 truncated toward zero";
    s.npoints = 2147483647;
    s.choffset = -2147483647 - 1;
    s.xperchan = 1.0;
    EXPECT_EQ(EnergyRange(s), 4294967295.0) << "no integer overflow";
}

TEST(CountRate, SumOverLiveTimeWithIeeeQuotients) {
    EMSASpectrum s;
    s.channels = Array1D<double>(3, 2.0);
    s.livetime = 4.0;
    EXPECT_EQ(CountRate(s), 1.5);
    s.livetime = 0.0;
    EXPECT_TRUE(std::isinf(CountRate(s)));
    s.channels = Array1D<double>(0);
    EXPECT_TRUE(std::isnan(CountRate(s))) << "0 / 0";
}

TEST(ModeTexts, ScanningAndDiffractionModes) {
    EXPECT_EQ(OperationModeText(OperMode::None), "");
    EXPECT_EQ(OperationModeText(OperMode::SCDIF), "SCDIF");
    EXPECT_EQ(IlluminationModeText(OperMode::DIFFR), "TEM");
    EXPECT_EQ(IlluminationModeText(OperMode::SCIMG), "STEM");
    EXPECT_EQ(ImagingModeText(OperMode::SCIMG), "IMG");
    EXPECT_EQ(ImagingModeText(OperMode::DIFFR), "DIFF");
}

}  // namespace
