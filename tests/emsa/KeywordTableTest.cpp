#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "emsa/EMSASpectrum.h"

namespace xray {

namespace {

EMSASpectrum Apply(std::initializer_list<std::array<const char*, 3>> lines) {
    EMSASpectrum s;
    for (const auto& [keyword, unit, value] : lines)
        ApplyHeaderLine(s, keyword, unit, value);
    return s;
}

TEST(KeywordTableTest, ChoicesAreCaseInsensitiveButWhole) {
    EXPECT_EQ(Apply({{"SIGNALTYPE", "", "eds"}}).signaltype, SignalType::EDS);
    EXPECT_EQ(Apply({{"SIGNALTYPE", "", "EDS "}}).signaltype, SignalType::None);
    EXPECT_EQ(Apply({{"SIGNALTYPE", "", "ELS"}, {"SIGNALTYPE", "", "XYZ"}}).signaltype,
              SignalType::None)
        << "an unknown choice overwrites with 0";
    EXPECT_EQ(Apply({{"EDSDET", "", "SILI"}}).edsdet, EdsDetector::SIUTW);
    EXPECT_EQ(Apply({{"OPERMODE", "", "imag"}}).opermode, OperMode::IMAGE);
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
    EXPECT_EQ(s.comments, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(s.yunits, "Counts");
    EXPECT_EQ(Apply({{"TITLE", "", "x"}}).yunits, "");
}

TEST(KeywordTableTest, ChannelOffsetZeroIsWorkedOutFromOffsetAndWidth) {
    auto choffset = [](const char* offset, const char* xperchan) {
        return Apply({{"OFFSET", "", offset}, {"XPERCHAN", "", xperchan}, {"CHOFFSET", "", "0"}})
            .choffset;
    };
    EXPECT_EQ(choffset("-0.2", "0.01"), 20);
    EXPECT_EQ(choffset("-0.205", "0.01"), 20) << "truncated toward zero";
    EXPECT_EQ(choffset("-0.2", "0"), 0) << "no channel width";
    EXPECT_EQ(choffset("-1e300", "1e-300"), 0) << "a ratio beyond any channel number";
    EXPECT_EQ(Apply({{"CHOFFSET", "", "33"}}).choffset, 33);
}

TEST(KeywordTableTest, DwellAndIntegrationTimeNeedTheirDetectorFirst) {
    EXPECT_EQ(Apply({{"INTEGTIME", "", "4"}}).dwelltime, 0.0);
    EXPECT_EQ(Apply({{"ELSDET", "", "PARALL"}, {"INTEGTIME", "", "4"}}).dwelltime, 4.0);
    EXPECT_EQ(Apply({{"ELSDET", "", "PARALL"}, {"DWELLTIME", "", "4"}}).dwelltime, 0.0);
    EXPECT_EQ(Apply({{"ELSDET", "", "SERIAL"}, {"DWELLTIME", "", "30"}}).dwelltime, 30.0);
}

// day, month, year, hour, minute, second after parsing `date` and `time` into an unset
// calendar (nullptr: not parsed).
std::array<int32_t, 6> Calendar(const char* date, const char* time) {
    CalendarTime t;
    if (date)
        ParseDate(date, t);
    if (time)
        ParseTime(time, t);
    return {t.day, t.month, t.year, t.hour, t.minute, t.second};
}

TEST(CalendarTest, DateForms) {
    using C = std::array<int32_t, 6>;
    EXPECT_EQ(Calendar("5-jan-2010", nullptr), (C{5, 0, 2010, -1, -1, -1}));
    EXPECT_EQ(Calendar("12/31/2009", nullptr), (C{31, 11, 2009, -1, -1, -1}));
    EXPECT_EQ(Calendar("20-Sept-09", nullptr), (C{20, -1, 9, -1, -1, -1}));
    EXPECT_EQ(Calendar("2010.01.05", nullptr), (C{0, -1, 0, -1, -1, -1}));
}

TEST(CalendarTest, TimeForms) {
    using C = std::array<int32_t, 6>;
    EXPECT_EQ(Calendar(nullptr, "09:05"), (C{-1, -1, -1, 9, 5, 0}));
    EXPECT_EQ(Calendar(nullptr, "23:59:30"), (C{-1, -1, -1, 23, 59, 30}));
    EXPECT_EQ(Calendar(nullptr, ""), (C{-1, -1, -1, 0, 0, 0}));
    EXPECT_EQ(Calendar(nullptr, "0905"), (C{-1, -1, -1, 0, 0, 0}));
}

TEST(NormalisationTest, WindowTypeByPriority) {
    EMSASpectrum s;
    const std::pair<double EMSASpectrum::*, WindowType> steps[] = {
        {&EMSASpectrum::talwind, WindowType::Aluminium},
        {&EMSASpectrum::tpywind, WindowType::Polymer},
        {&EMSASpectrum::tbnwind, WindowType::BoronNitride},
        {&EMSASpectrum::tdiwind, WindowType::Diamond},
        {&EMSASpectrum::thcwind, WindowType::Hydrocarbon},
        {&EMSASpectrum::tbewind, WindowType::Beryllium}};
    for (const auto& [thickness, expected] : steps) {
        s.*thickness = 0.0008;  // each window added outranks the ones before it
        DeriveWindowType(s);
        EXPECT_EQ(s.window_type, expected);
    }
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

    s = Normalised(SignalType::ELS, 0.0005, 0.1);
    EXPECT_DOUBLE_EQ(s.xperchan, 0.5);
    EXPECT_DOUBLE_EQ(s.offset, 100.0);
    EXPECT_EQ(s.xunits, "eV");

    EXPECT_EQ(Normalised(SignalType::EDS, 1.0, 5.0).xunits, "file") << "exactly 1.0: unchanged";
    EXPECT_EQ(Normalised(SignalType::CLS, 10.0, 0).xperchan, 10.0);
    EXPECT_EQ(Normalised(SignalType::None, 10.0, 0).xperchan, 10.0);
    EXPECT_DOUBLE_EQ(Normalised(SignalType::EDS, 2000.0, 0).xperchan, 2.0) << "divided once";
}

}  // namespace

}  // namespace xray
