#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "NiOxTables.h"
#include "niox/SolidAngle.h"

namespace xray {

namespace {

const WindowTable kWindows = WindowsOf({{0, 0}, {0, 0}, {100000, 5000}, {0, 0}, {0, 0}});
const double kDegreesPerRadian = 180 / std::acos(-1.0);

SolidAngle At(double voltage, double xTilt, double yTilt, const WindowTable& w = kWindows) {
    return ComputeSolidAngle(SolidAngleInput{50, voltage, xTilt, yTilt, 1, 100}, w);
}

const std::string kSolidAngleBlock =
    "\n************ Results of solid-angle ************\n"
    "\t\tMeasured intensities\n"
    "\t\tGross NiK peak: 105000.0 (count)\n"
    "\t\tNiK backgound:  5000.0 (count)\n"
    "\t\tNet NiK peak:   100000.0 (count)\n"
    "\n"
    "\t\tFilm thikness:    50.0 (nm)\n"
    "\t\tAcquisition time: 100.0 (s)\n"
    "\t\tProbe current:    1.0 (nA)\n"
    "\n"
    "\t\tCollection angle:  0.0800 (sr)\n"
    "\t\tError 1sigma(68%): 0.0003 (sr)\n"
    "\t\tError 2sigma(95%): 0.0005 (sr)\n"
    "\t\tError 3sigma(99%): 0.0008 (sr)\n"
    "************************************************\n\n";

const std::string kEfficiencyBlock =
    "\n******** Results of detector efficiency ********\n"
    "\t\tMeasured intensities\n"
    "\t\tGross NiK peak: 105000.0 (count)\n"
    "\t\tNiK backgound:  5000.0 (count)\n"
    "\t\tNet NiK peak:   100000.0 (count)\n"
    "\t\tAcquisition time: 100.0 (s)\n"
    "\t\tProbe current:    1.0 (nA)\n"
    "\t\tCollection angle:  0.0800 (sr)\n"
    "\n"
    "\t\tDetector efficiency: 12500.0000 (cps/nA/sr)\n"
    "\t\tError 1sigma(68%): 39.5285 (cps/nA/sr)\n"
    "\t\tError 2sigma(95%): 79.0569 (cps/nA/sr)\n"
    "\t\tError 3sigma(99%): 118.5854 (cps/nA/sr)\n"
    "\n"
    "\t\tNormalized detector efficiency: 15895.2187 (cps/nA/sr)\n"
    "\t\tError 1sigma(68%): 50.2651 (cps/nA/sr)\n"
    "\t\tError 2sigma(95%): 100.5302 (cps/nA/sr)\n"
    "\t\tError 3sigma(99%): 150.7953 (cps/nA/sr)\n"
    "************************************************\n\n";

const std::string kVoltageMessage =
    "\n Wrong accelerating voltage \n Solid angle can be determined only at \n 80, 100, 120, "
    "200, 300 and 400 kV\n \n************************************************\n\n";

TEST(SolidAngleTest, WorkedExampleBlocksAndSelections) {
    const auto evaluate = [](int selection) {
        return EvaluateSolidAngle(selection, 50, 200, 0, 0, 1, 100, kWindows);
    };
    EXPECT_EQ(evaluate(1), kSolidAngleBlock);
    EXPECT_EQ(evaluate(2), kEfficiencyBlock);
    EXPECT_EQ(evaluate(3), kSolidAngleBlock + kEfficiencyBlock);
    EXPECT_EQ(evaluate(0), "");
    EXPECT_EQ(evaluate(-3), "");
}

TEST(SolidAngleTest, VoltageTableIsMatchedExactly) {
    EXPECT_EQ(VoltageFactor(80), 2.6);
    EXPECT_EQ(VoltageFactor(120), 3.2);
    EXPECT_EQ(VoltageFactor(400), 5.3);
    EXPECT_EQ(VoltageFactor(199.9), 0.0);
    EXPECT_EQ(VoltageFactor(200000), 0.0) << "a voltage given in volts is not recognised";
    EXPECT_EQ(EvaluateSolidAngle(3, 50, 199.9, 0, 0, 1, 100, kWindows),
              "\n************ Results of solid-angle ************\n" + kVoltageMessage +
                  "\n******** Results of detector efficiency ********\n" + kVoltageMessage);
}

TEST(SolidAngleTest, NoNetCountsGiveTheVoltageMessage) {
    const WindowTable empty = WindowsOf({{0, 0}, {0, 0}, {0, 30}, {0, 0}, {0, 0}});
    EXPECT_FALSE(At(200, 0, 0, empty).valid());
    EXPECT_EQ(EvaluateSolidAngle(2, 50, 200, 0, 0, 1, 100, empty),
              "\n******** Results of detector efficiency ********\n" + kVoltageMessage);
}

TEST(SolidAngleTest, TiltSignDoesNotMatterAndTiltsCombine) {
    EXPECT_NEAR(At(200, 20, 0).tilt * kDegreesPerRadian, 20, 1e-12);
    EXPECT_NEAR(At(200, -20, 0).tilt * kDegreesPerRadian, 20, 1e-12);
    const SolidAngle both = At(200, 20, 20);
    EXPECT_NEAR(both.tilt * kDegreesPerRadian, 27.2363, 1e-4);
    EXPECT_NEAR(std::cos(both.tilt), 0.8891, 1e-4);
    EXPECT_NEAR(both.solidAngle, 0.08 * std::cos(both.tilt), 1e-15);
}

TEST(SolidAngleTest, EfficiencyDoesNotDependOnTheCountsButItsErrorsDo) {
    const WindowTable fewer = WindowsOf({{0, 0}, {0, 0}, {2500, 100}, {0, 0}, {0, 0}});
    const SolidAngle many = At(300, 15, 5);
    const SolidAngle few = At(300, 15, 5, fewer);
    const double expected = 1000 * 50 / (4.8 * std::cos(many.tilt));
    EXPECT_NEAR(many.efficiency, expected, 1e-9 * expected);
    EXPECT_NEAR(few.efficiency, expected, 1e-9 * expected);
    EXPECT_NEAR(few.efficiencyErrors[0] / many.efficiencyErrors[0], std::sqrt(100000 / 2500.0),
                1e-9);
}

}  // namespace

}  // namespace xray
