#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "niox/EnergyResolution.h"

namespace xray {

namespace {

// The driver widens the calibration's 4-byte step, so the tests do too.
const double kStep = static_cast<double>(0.01f);

// 2048 channels from 0 keV: a Ni Ka peak of 1000 counts at channel 747.8 (7.478 keV),
// sigma 6.4 channels.
EnergyCountTable NiKaSpectrum(double offset = 0.0) {
    std::vector<double> counts(2048);
    for (size_t i = 0; i < counts.size(); ++i) {
        const double x = offset / kStep + i - 747.8;
        counts[i] = 1000 * std::exp(-x * x / (2 * 6.4 * 6.4));
    }
    return MakeEnergyCountTable(counts.data(), 2048, offset, kStep);
}

TEST(EnergyResolutionTest, KnownPeakGivesItsWidths) {
    const EnergyCountTable table = NiKaSpectrum();
    Array1D<double> curve(2048, 0.0);
    const EnergyResolution r = ComputeEnergyResolution(kStep, table, curve);

    EXPECT_EQ(r.windowStart, 708) << "the last channel at or below 7.08 keV";
    EXPECT_EQ(r.windowCount, 80) << "7.08 to 7.87 keV";
    EXPECT_NEAR(r.peakHeight, 1000, 1e-6);
    EXPECT_NEAR(r.peakPosition, 747.8 * kStep, 1e-9);
    EXPECT_NEAR(r.sigma, 6.4 * 1000 * kStep, 1e-8);
    EXPECT_NEAR(r.fwhmNiKa, 150.709, 1e-3);
    EXPECT_NEAR(r.fwtmNiKa, 274.684, 1e-3);
    EXPECT_NEAR(r.fwhmMnKa, 0.926 * r.fwhmNiKa, 1e-9);

    for (int32_t i = 0; i < 2048; ++i) {
        if (i < 708 || i > 787) {
            ASSERT_EQ(curve[i], 0.0) << i;
        } else {
            ASSERT_NEAR(curve[i], table(i, 1), 1e-7 * 1000) << i;
        }
    }
}

TEST(EnergyResolutionTest, BlockText) {
    Array1D<double> curve(2048, 0.0);
    EXPECT_EQ(EvaluateEnergyResolution(kStep, NiKaSpectrum(), curve),
              "\n********* Results of energy-resolution *********\n"
              "\t\tFit results\n"
              "\t\tPeak height:    1000.0 (count)\n"
              "\t\tPeak position:  7.478 (keV)\n"
              "\t\tstd deviation : 64.0 (eV)\n"
              "\n"
              "\t\tFWHM at NiKa:   150.7 (eV)\n"
              "\t\tFWTM at NiKa:   274.7 (eV)\n"
              "\n"
              "\t\tFWHM at MnKa:  139.6 (eV)\n"
              "************************************************\n\n");
}

TEST(EnergyResolutionTest, SpectrumStartingInsideTheWindow) {
    Array1D<double> curve(0);
    const EnergyResolution r = ComputeEnergyResolution(kStep, NiKaSpectrum(7.2), curve);
    EXPECT_EQ(r.windowStart, 0);
    EXPECT_EQ(r.windowCount, 69);
    EXPECT_NEAR(r.peakPosition, 7.478, 1e-6);
    EXPECT_EQ(curve.count(), 2048) << "a curve of the wrong size is replaced";
    EXPECT_EQ(curve[2047], 0.0);
}

void ExpectUnmeasurable(const EnergyCountTable& table, const std::string& reason) {
    Array1D<double> curve(table.nrows(), 0.0);
    try {
        EvaluateEnergyResolution(kStep, table, curve);
        ADD_FAILURE() << "expected EnergyResolutionError: " << reason;
    } catch (const EnergyResolutionError& e) {
        const std::string what = e.what();
        EXPECT_EQ(what.find("The Ni Ka line could not be measured"), 0u) << what;
        EXPECT_NE(what.find(reason), std::string::npos) << what;
    }
}

TEST(EnergyResolutionTest, UnmeasurableLinesFailClearly) {
    const double low[] = {1, 2, 3};
    ExpectUnmeasurable(MakeEnergyCountTable(low, 3, 0.0, kStep), "no channel above 7.08 keV");
    const double empty[] = {0, 0, 0, 0};
    ExpectUnmeasurable(MakeEnergyCountTable(empty, 4, 7.3, kStep), "no counts");
    const double spike[] = {0, 3, 0};
    ExpectUnmeasurable(MakeEnergyCountTable(spike, 3, 7.3, kStep), "at least three channels");
}

// A 10 kV spectrum without nickel: the Bremsstrahlung falls through the window, and its
// logarithm is a parabola that opens downwards, centred far below 7.08 keV.
TEST(EnergyResolutionTest, AFallingBackgroundIsNoLine) {
    std::vector<double> counts(1000);
    for (size_t i = 1; i < counts.size(); ++i) {
        const double energy = i * kStep;
        counts[i] = 20000 * (10.0 - energy) / energy;
    }
    const EnergyCountTable table = MakeEnergyCountTable(counts.data(), 1000, 0.0, kStep);
    Array1D<double> curve(1000, 0.0);
    try {
        ComputeEnergyResolution(kStep, table, curve);
        ADD_FAILURE() << "a background is no line";
    } catch (const EnergyResolutionError& e) {
        EXPECT_STREQ(e.what(),
                     "The Ni Ka line could not be measured: the fitted peak centre, 3.667 keV, "
                     "lies outside the fit window from 7.08 to 7.88 keV. The spectrum shows no "
                     "Ni Ka peak there.");
    }
    EXPECT_EQ(curve[750], 0.0) << "the curve is left alone";
}

}  // namespace

}  // namespace xray
