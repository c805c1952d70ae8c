#include <gtest/gtest.h>

#include <array>
#include <string>

#include "emsa/EMSASpectrum.h"

namespace {

EMSASpectrum Apply(std::initializer_list<std::array<const char*, 3>> lines) {
    EMSASpectrum s;
    for (const auto& [keyword, unit, value] : lines)
        ApplyHeaderLine(s, keyword, unit, value);
    return s;
}

TEST(KeywordTableTest, DefaultsBeforeAnyLine) {
    const EMSASpectrum s;
    EXPECT_EQ(s.npoints, 0);
    EXPECT_EQ(s.acquired.second, -1);
    EXPECT_EQ(s.acquired.year, -1);
    EXPECT_EQ(s.signaltype, SignalType::None);
    EXPECT_EQ(s.channels.count(), 0);
    EXPECT_TRUE(s.comments.empty());
}

TEST(KeywordTableTest, ChoicesAreCaseInsensitiveButWhole) {
    EXPECT_EQ(Apply({{"SIGNALTYPE", "", "eds"}}).signaltype, SignalType::EDS);
    EXPECT_EQ(Apply({{"SIGNALTYPE", "", "EDS "}}).signaltype, SignalType::None);
    EXPECT_EQ(Apply({{"SIGNALTYPE", "", "ELS"}, {"SIGNALTYPE", "", "XYZ"}}).signaltype,
              SignalType::None)
        << "an unknown choice overwrites with 0";
    EXPECT_EQ(Apply({{"EDSDET", "", "SILI"}}).edsdet, EdsDetector::SIUTW);
    EXPECT_EQ(Apply({{"OPERMODE", "", "imag"}}).opermode, OperMode::IMAGE);
    EXPECT_EQ(Apply({{"OPERMODE", "", "SCDIF"}}).opermode, OperMode::SCDIF);
    EXPECT_EQ(Apply({{"ELSDET", "", "Serial"}}).elsdet, ElsDetector::SERIAL);
    EXPECT_TRUE(Apply({{"DATATYPE", "", "xy"}}).xy);
    EXPECT_FALSE(Apply({{"DATATYPE", "", "XY"}, {"DATATYPE", "", "Y"}}).xy);
}

TEST(KeywordTableTest, UnitConversions) {
    EXPECT_EQ(Apply({{"BEAMKV", "kV", "200.0"}}).beamkv, 200.0);
    EXPECT_EQ(Apply({{"BEAMKV", "V", "200000"}}).beamkv, 200.0);
    EXPECT_EQ(Apply({{"BEAMKV", "mv", "0.2"}}).beamkv, 200.0);
    EXPECT_EQ(Apply({{"EMISSION", "nA", "5000"}}).emission, 5.0);
    EXPECT_EQ(Apply({{"EMISSION", "mA", "0.5"}}).emission, 500.0);
    EXPECT_EQ(Apply({{"EMISSION", "na", "5000"}}).emission, 5000.0) << "compared as written";
    EXPECT_EQ(Apply({{"PROBECUR", "uA", "0.002"}}).probecur, 2.0);
    EXPECT_EQ(Apply({{"PROBECUR", "mA", "1"}}).probecur, 1.0);
    EXPECT_EQ(Apply({{"XPERCHAN", "eV", "10"}}).xperchan, 10.0) << "other keywords ignore units";
}

TEST(KeywordTableTest, UnreadableNumberKeepsThePreviousValueUnconverted) {
    const EMSASpectrum s = Apply({{"BEAMKV", "kV", "300"},
                                  {"BEAMKV", "V", "unknown"},
                                  {"NPOINTS", "", "1024"},
                                  {"NPOINTS", "", ""},
                                  {"LIVETIME", "", "50"},
                                  {"LIVETIME", "", "n/a"}});
    EXPECT_EQ(s.beamkv, 300.0) << "the old value must not be divided by 1000";
    EXPECT_EQ(s.npoints, 1024);
    EXPECT_EQ(s.livetime, 50.0);
}

TEST(KeywordTableTest, TextsCommentsAndYUnits) {
    const EMSASpectrum s = Apply({{"TITLE", "", " padded title "},
                                  {"COMMENT", "", "one"},
                                  {"COMMENT", "", "two"},
                                  {"YUNITS", "", ""},
                                  {"UNKNOWNKEY", "", "whatever"}});
    EXPECT_EQ(s.title, " padded title ");
    ASSERT_EQ(s.comments.size(), 2u);
    EXPECT_EQ(s.comments[0], "one");
    EXPECT_EQ(s.comments[1], "two");
    EXPECT_EQ(s.yunits, "Counts");
    EXPECT_EQ(Apply({{"TITLE", "", "x"}}).yunits, "");
}

TEST(KeywordTableTest, ChannelOffsetZeroIsWorkedOutFromOffsetAndWidth) {
    EXPECT_EQ(
        Apply({{"OFFSET", "", "-0.2"}, {"XPERCHAN", "", "0.01"}, {"CHOFFSET", "", "0"}}).choffset,
        20);
    EXPECT_EQ(
        Apply({{"OFFSET", "", "-0.205"}, {"XPERCHAN", "", "0.01"}, {"CHOFFSET", "", "0"}}).choffset,
        20)
        << "truncated toward zero";
    EXPECT_EQ(Apply({{"CHOFFSET", "", "33"}}).choffset, 33);
    EXPECT_EQ(Apply({{"OFFSET", "", "-0.2"}, {"CHOFFSET", "", "0"}}).choffset, 0)
        << "no channel width yet";
    EXPECT_EQ(Apply({{"OFFSET", "", "-1e300"}, {"XPERCHAN", "", "1e-300"}, {"CHOFFSET", "", "0"}})
                  .choffset,
              0)
        << "a ratio beyond any channel number";
}

TEST(KeywordTableTest, DwellAndIntegrationTimeNeedTheirDetectorFirst) {
    EXPECT_EQ(Apply({{"INTEGTIME", "", "4"}}).dwelltime, 0.0);
    EXPECT_EQ(Apply({{"ELSDET", "", "PARALL"}, {"INTEGTIME", "", "4"}}).dwelltime, 4.0);
    EXPECT_EQ(Apply({{"ELSDET", "", "PARALL"}, {"DWELLTIME", "", "4"}}).dwelltime, 0.0);
    EXPECT_EQ(Apply({{"ELSDET", "", "SERIAL"}, {"DWELLTIME", "", "30"}}).dwelltime, 30.0);
}

CalendarTime Date(const char* value) {
    CalendarTime t;
    ParseDate(value, t);
    return t;
}

CalendarTime Time(const char* value) {
    CalendarTime t;
    ParseTime(value, t);
    return t;
}

TEST(CalendarTest, DateForms) {
    CalendarTime t = Date("5-jan-2010");
    EXPECT_EQ(t.day, 5);
    EXPECT_EQ(t.month, 0);
    EXPECT_EQ(t.year, 2010);

    t = Date("12/31/2009");
    EXPECT_EQ(t.month, 11);
    EXPECT_EQ(t.day, 31);
    EXPECT_EQ(t.year, 2009);

    t = Date("20-Sept-09");
    EXPECT_EQ(t.month, -1) << "only three-letter names";
    EXPECT_EQ(t.year, 9) << "two-digit years stay two digits";

    t = Date("2010.01.05");
    EXPECT_EQ(t.month, -1);
    EXPECT_EQ(t.day, 0);
    EXPECT_EQ(t.year, 0);
    EXPECT_EQ(t.hour, -1) << "the date leaves the time alone";
}

TEST(CalendarTest, TimeForms) {
    CalendarTime t = Time("09:05");
    EXPECT_EQ(t.hour, 9);
    EXPECT_EQ(t.minute, 5);
    EXPECT_EQ(t.second, 0);

    t = Time("23:59:30");
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.second, 30);

    for (const char* value : {"", "0905"}) {
        t = Time(value);
        EXPECT_EQ(t.hour, 0);
        EXPECT_EQ(t.minute, 0);
        EXPECT_EQ(t.second, 0);
        EXPECT_EQ(t.day, -1);
    }
}

TEST(NormalisationTest, WindowTypeByPriority) {
    EMSASpectrum s;
    DeriveWindowType(s);
    EXPECT_EQ(s.window_type, WindowType::Aluminium);
    s.talwind = 0.00003;
    DeriveWindowType(s);
    EXPECT_EQ(s.window_type, WindowType::Aluminium);
    s.tpywind = 1;
    DeriveWindowType(s);
    EXPECT_EQ(s.window_type, WindowType::Polymer);
    s.tbnwind = 1;
    DeriveWindowType(s);
    EXPECT_EQ(s.window_type, WindowType::BoronNitride);
    s.tdiwind = 1;
    DeriveWindowType(s);
    EXPECT_EQ(s.window_type, WindowType::Diamond);
    s.thcwind = 0.00001;
    DeriveWindowType(s);
    EXPECT_EQ(s.window_type, WindowType::Hydrocarbon);
    s.tbewind = 0.0008;
    DeriveWindowType(s);
    EXPECT_EQ(s.window_type, WindowType::Beryllium);
}

EMSASpectrum Normalised(SignalType type, double xperchan, double offset) {
    EMSASpectrum s;
    s.signaltype = type;
    s.xperchan = xperchan;
    s.offset = offset;
    s.xunits = "file";
    NormaliseEnergyUnits(s);
    return s;
}

TEST(NormalisationTest, EnergyUnitFromChannelWidth) {
    EMSASpectrum s = Normalised(SignalType::EDS, 10.0, -200.0);
    EXPECT_DOUBLE_EQ(s.xperchan, 0.01);
    EXPECT_DOUBLE_EQ(s.offset, -0.2);
    EXPECT_EQ(s.xunits, "keV");

    s = Normalised(SignalType::EDS, 1.0, 5.0);
    EXPECT_EQ(s.xperchan, 1.0) << "exactly 1.0 per channel is left alone";
    EXPECT_EQ(s.xunits, "file");

    s = Normalised(SignalType::ELS, 0.0005, 0.1);
    EXPECT_DOUBLE_EQ(s.xperchan, 0.5);
    EXPECT_DOUBLE_EQ(s.offset, 100.0);
    EXPECT_EQ(s.xunits, "eV");

    EXPECT_EQ(Normalised(SignalType::CLS, 10.0, 0).xperchan, 10.0);
    EXPECT_EQ(Normalised(SignalType::None, 10.0, 0).xperchan, 10.0);
}

TEST(NormalisationTest, AppliedOnceOnly) {
    EMSASpectrum s = Normalised(SignalType::EDS, 2000.0, 0);
    EXPECT_DOUBLE_EQ(s.xperchan, 2.0) << "still above 1.0 afterwards: no second division";
}

}  // namespace
