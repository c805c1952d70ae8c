// The derived tag values on records built in place: durations that carry
// across minutes, hours and midnight or make no sense, windows, extreme channel numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "emsa/SpectrumTagValues.h"

using namespace xray;

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
    // Wrapped at midnight like a clock (it once went on to hour 24 and beyond).
    const ClockTime late = EndTime(StartingAt(23, 59, 30, SignalType::EDS, 45.0));
    EXPECT_EQ(ClockText(late), "0:0:15 AM");
    EXPECT_EQ(late.hour, 0);
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
    // Capped, not overflowed; the hour is now a clock hour, no longer the capped count.
    EXPECT_GE(endless.hour, 0);
    EXPECT_LT(endless.hour, 24);
    EXPECT_EQ(endless.minute, 15);
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

TEST(EnergyRange, NoIntegerOverflowForExtremeChannelNumbers) {
    EMSASpectrum s;
    s.npoints = 2147483647;
    s.choffset = -2147483647 - 1;
    s.xperchan = 1.0;
    EXPECT_EQ(EnergyRange(s), 4294967295.0);
}

}  // namespace
