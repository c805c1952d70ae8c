#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "NiOxTables.h"
#include "niox/Contamination.h"

namespace xray {

namespace {

const WindowTable kFirst = WindowsOf({{5000, 1}, {20000, 2}, {100000, 3}, {0, 0}, {0, 0}});
const WindowTable kSecond = WindowsOf({{4000, 4}, {15000, 5}, {90000, 6}, {0, 0}, {0, 0}});

TEST(ContaminationTest, DifferencesSolveTheAttenuationSystem) {
    const Contamination r = EvaluateContamination(kFirst, kSecond);
    const double hO = std::log((5000.0 / 100000) / (4000.0 / 90000));
    const double hL = std::log((20000.0 / 100000) / (15000.0 / 90000));
    const double ice = r.ice * 1e-9;
    const double carbon = r.carbon * 1e-9;
    EXPECT_NEAR(-(108881.829 * ice + 2648053.229 * carbon), hO, 1e-12);
    EXPECT_NEAR(-(623378.434 * ice + 754360.119 * carbon), hL, 1e-12);
}

TEST(ContaminationTest, ReportText) {
    const Contamination r = EvaluateContamination(kFirst, kSecond);
    EXPECT_EQ(WriteContaminationReport("NiOx before", "NiOx after", r),
              "Results of contamination evaluation using the NiOx thin specimen\n"
              "\n*** Results of contamination layer thickness ***\n"
              "\t\tSpectrum 1: NiOx before\n"
              "\t\tSpectrum 2: NiOx after\n"
              "\n"
              "\t\tDifference in\n"
              "\t\tIce layer thickness: -251.1 (nm)\n"
              "\t\tError 1sigma(68%):   21.5 (nm)\n"
              "\t\tError 2sigma(95%):   42.9 (nm)\n"
              "\t\tError 3sigma(99%):   64.0 (nm)\n"
              "\n"
              "\t\tCarbon layer thickness: -34.2 (nm)\n"
              "\t\tError 1sigma(68%):   8.5 (nm)\n"
              "\t\tError 2sigma(95%):   16.9 (nm)\n"
              "\t\tError 3sigma(99%):   25.2 (nm)\n"
              "************************************************\n\n");
}

TEST(ContaminationTest, SameSpectrumTwiceGivesZeroWithErrors) {
    const Contamination r = EvaluateContamination(kFirst, kFirst);
    EXPECT_EQ(r.ice, 0.0);
    EXPECT_EQ(r.carbon, 0.0);
    EXPECT_NEAR(r.iceErrors[0], 20.0814, 1e-4);
    EXPECT_NEAR(r.carbonErrors[2], 23.8490, 1e-4);
    EXPECT_NE(WriteContaminationBlock("a", "a", r).find("Ice layer thickness: 0.0 (nm)"),
              std::string::npos);
}

TEST(ContaminationTest, SpectraOfDifferentLengthsAreEachReadToTheirOwnEnd) {
    const EnergyCountTable longer = TableOf(
        {{0.5, 5100}, {1.2, 100}, {0.8, 20100}, {7.5, 100000}, {6.8, 0}, {9.0, 0}, {12.0, 77}});
    const EnergyCountTable shorter = TableOf({{0.5, 4100}, {1.2, 100}, {0.8, 15100}, {7.5, 90000}});
    WindowTable w1, w2;
    IntegrateWindows(longer, w1);
    IntegrateWindows(shorter, w2);
    const Contamination direct = EvaluateContamination(w1, w2);
    const Contamination viaTables = EvaluateContaminationOfSpectra(longer, shorter);
    EXPECT_EQ(viaTables.ice, direct.ice);
    EXPECT_EQ(viaTables.carbonErrors[1], direct.carbonErrors[1]);
    EXPECT_NEAR(direct.ice, EvaluateContamination(kFirst, kSecond).ice, 1e-9);
}

TEST(ContaminationTest, NonPositiveCountsGiveNotANumber) {
    const WindowTable noOxygen = WindowsOf({{0, 1}, {20000, 2}, {100000, 3}, {0, 0}, {0, 0}});
    const Contamination r = EvaluateContamination(noOxygen, kSecond);
    EXPECT_TRUE(std::isinf(r.ice) || std::isnan(r.ice));
    EXPECT_TRUE(std::isnan(r.iceErrors[0]));
}

}  // namespace

}  // namespace xray
