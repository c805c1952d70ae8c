#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "niox/NiOxEvaluation.h"

namespace xray {
namespace {

using ::testing::HasSubstr;

// A spectrum that ends below the Ni Ka fit window, taken at a voltage without a voltage
// factor: those evaluations fail, each with its own message, and the others still run.
TEST(NiOxEvaluationTest, EachEvaluationFailsOnItsOwn) {
    const std::vector<double> counts(700, 100.0);  // 0 to 6.99 keV
    SolidAngleInput acquisition;
    acquisition.filmThickness = 50.0;
    acquisition.voltage = 150.0;
    acquisition.probeCurrent = 1.0;
    acquisition.liveTime = 100.0;

    const NiOxResults r =
        EvaluateNiOxSpectrum({counts.data(), 700, 0.0, 0.01}, NiOxSelection::All(), acquisition);

    EXPECT_TRUE(r.AnyFailed());
    EXPECT_FALSE(r.energyResolution.result);
    EXPECT_THAT(r.energyResolution.error, HasSubstr("The Ni Ka line could not be measured"));
    EXPECT_EQ(r.fitCurve.count(), 0);
    for (const Evaluation<SolidAngle>* e : {&r.solidAngle, &r.detectorEfficiency}) {
        EXPECT_FALSE(e->result);
        EXPECT_EQ(e->error,
                  "Wrong accelerating voltage (150.0 kV): the solid angle can be determined only "
                  "at 80, 100, 120, 200, 300 and 400 kV.");
    }
    ASSERT_TRUE(r.fioriPB.result && r.totalPB.result && r.moKL.result && r.inverseHoleCount.result);
    EXPECT_TRUE(std::isnan(r.moKL.result->ratio)) << "no Mo counts: a ratio of 0/0, not a failure";
    EXPECT_FALSE(r.moKL.Failed());

    acquisition.voltage = 200.0;
    const NiOxResults noNiK =
        EvaluateNiOxSpectrum({counts.data(), 700, 0.0, 0.01},
                             {false, false, false, false, false, true, false}, acquisition);
    EXPECT_THAT(noNiK.solidAngle.error, HasSubstr("needs net Ni K counts"));
    EXPECT_FALSE(noNiK.energyResolution.Failed() || noNiK.energyResolution.result)
        << "not selected";
}

}  // namespace
}  // namespace xray
