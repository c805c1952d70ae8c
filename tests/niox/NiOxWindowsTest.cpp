#include <gtest/gtest.h>

#include <string>

#include "NiOxTables.h"
#include "niox/NiOxWindows.h"

namespace xray {

namespace {

struct Integrated {
    WindowTable windows{kWindowRows, 2};
    int32_t niKChannels = 0;
};

Integrated Integrate(const EnergyCountTable& table) {
    Integrated r;
    r.niKChannels = IntegrateWindows(table, r.windows);
    return r;
}

TEST(IntegrateWindowsTest, LimitsAreInclusive) {
    const Integrated r = Integrate(TableOf({{7.16, 10}, {7.76, 20}, {7.13, 400}}));
    EXPECT_EQ(r.windows(kNickelK, kNet), 30) << "7.13 keV lies between side and peak";
    EXPECT_EQ(r.windows(kNickelK, kBackground), 0);
    EXPECT_EQ(r.niKChannels, 2);
}

TEST(IntegrateWindowsTest, OverlappingLowEnergyWindows) {
    const Integrated at140 = Integrate(TableOf({{1.40, 8}}));
    EXPECT_EQ(at140.windows(kOxygenK, kBackground), 0);
    EXPECT_EQ(at140.windows(kNickelL, kBackground), 8);
    EXPECT_EQ(at140.windows(kNickelL, kNet), -8);
    EXPECT_EQ(at140.windows(kMolybdenumL, kBackground), 4);

    const Integrated at143 = Integrate(TableOf({{1.43, 8}}));
    EXPECT_EQ(at143.windows(kNickelL, kBackground), 0);
    EXPECT_EQ(at143.windows(kMolybdenumL, kBackground), 4);

    const Integrated at120 = Integrate(TableOf({{1.2, 8}}));
    EXPECT_EQ(at120.windows(kOxygenK, kBackground), 8);
    EXPECT_EQ(at120.windows(kNickelL, kBackground), 8);
    EXPECT_EQ(at120.windows(kMolybdenumL, kBackground), 4);
}

TEST(IntegrateWindowsTest, NetIsGrossMinusMeanOfTheSides) {
    const Integrated r = Integrate(TableOf({{0.5, 900},
                                            {1.3, 100},
                                            {0.8, 700},
                                            {2.3, 300},
                                            {3.1, 60},
                                            {6.8, 10},
                                            {7.5, 1000},
                                            {8.9, 30},
                                            {16.5, 5},
                                            {17.4, 80},
                                            {18.5, 15}}));
    EXPECT_EQ(r.windows(kOxygenK, kNet), 800);
    EXPECT_EQ(r.windows(kOxygenK, kBackground), 100);
    EXPECT_EQ(r.windows(kNickelL, kNet), 600);
    EXPECT_EQ(r.windows(kMolybdenumL, kBackground), (100 + 60) * 0.5);
    EXPECT_EQ(r.windows(kMolybdenumL, kNet), 300 - 80);
    EXPECT_EQ(r.windows(kNickelK, kBackground), 20);
    EXPECT_EQ(r.windows(kNickelK, kNet), 980);
    EXPECT_EQ(r.windows(kMolybdenumK, kBackground), 10);
    EXPECT_EQ(r.windows(kMolybdenumK, kNet), 70);
    EXPECT_EQ(r.niKChannels, 1);
}

TEST(IntegrateWindowsTest, EmptyTableAndWrongShapedWindowTable) {
    WindowTable windows(2, 7);
    EXPECT_EQ(IntegrateWindows(EnergyCountTable(0, 2), windows), 0);
    ASSERT_EQ(windows.nrows(), kWindowRows);
    ASSERT_EQ(windows.ncols(), 2);
    for (int32_t row = 0; row < kWindowRows; ++row) {
        EXPECT_EQ(windows(row, kNet), 0);
        EXPECT_EQ(windows(row, kBackground), 0);
    }
}

TEST(IntegrateWindowsTest, SpectrumEndingBelowMoK) {
    const double counts[] = {5, 6, 7};
    const EnergyCountTable table = MakeEnergyCountTable(counts, 3, 15.0, 0.5);
    EXPECT_EQ(table(2, 0), 16.0);
    EXPECT_EQ(table(2, 1), 7);
    const Integrated r = Integrate(table);
    EXPECT_EQ(r.windows(kMolybdenumK, kNet), 0);
    EXPECT_EQ(r.windows(kMolybdenumK, kBackground), 0);
}

// The published table is the one the integration sums: a single channel at the edges of a
// window counts towards that window's line, as gross counts in a peak window and as (half
// of a two-sided) background in a background window.
TEST(EnergyWindowsTest, PublishedTableIsTheIntegratedOne) {
    const EnergyWindow* windows = EnergyWindows();
    for (int32_t w = 0; w < kEnergyWindowCount; ++w) {
        const EnergyWindow& window = windows[w];
        SCOPED_TRACE(window.name);
        for (const double energy : {window.lower, window.upper}) {
            const Integrated r = Integrate(TableOf({{energy, 64}}));
            const double gross = r.windows(window.line, kNet) + r.windows(window.line, kBackground);
            if (window.peak) {
                EXPECT_EQ(gross, 64);
            } else {
                const bool twoSided = window.line == kNickelK || window.line == kMolybdenumL ||
                                      window.line == kMolybdenumK;
                EXPECT_EQ(r.windows(window.line, kBackground), twoSided ? 32 : 64);
            }
        }
    }
}

// Every line has one peak window, listed first or between its sides, and backgrounds as
// wide as the peak, so no width scaling is needed.
TEST(EnergyWindowsTest, EachLineHasOnePeakAndBackgroundsOfItsWidth) {
    const EnergyWindow* windows = EnergyWindows();
    for (const WindowRow line : {kOxygenK, kNickelL, kNickelK, kMolybdenumL, kMolybdenumK}) {
        SCOPED_TRACE(WindowLineName(line));
        const EnergyWindow* peak = nullptr;
        int backgrounds = 0;
        for (int32_t w = 0; w < kEnergyWindowCount; ++w) {
            if (windows[w].line != line)
                continue;
            if (windows[w].peak) {
                EXPECT_EQ(peak, nullptr) << "a second peak window: " << windows[w].name;
                peak = &windows[w];
            } else {
                ++backgrounds;
            }
        }
        ASSERT_NE(peak, nullptr);
        EXPECT_EQ(std::string(peak->name), std::string(WindowLineName(line)) + " peak");
        EXPECT_GE(backgrounds, 1);
        for (int32_t w = 0; w < kEnergyWindowCount; ++w) {
            if (windows[w].line == line && !windows[w].peak) {
                EXPECT_NEAR(windows[w].upper - windows[w].lower, peak->upper - peak->lower, 1e-12)
                    << windows[w].name;
            }
        }
    }
}

}  // namespace

}  // namespace xray
