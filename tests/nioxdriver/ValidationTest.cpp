// The NiOx evaluations on simulated spectra of known truth. Each measured value must lie
// within its own reported 2 sigma error of the value the windows are expected to measure
// in the noise-free model (which includes the lines' losses outside the windows and the
// background the side windows do not remove), and that expected value must lie close to
// the simulated truth.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "emsa/EMSAReader.h"
#include "niox/Contamination.h"
#include "niox/EnergyResolution.h"
#include "niox/InverseHoleCount.h"
#include "niox/MoKLRatio.h"
#include "niox/SolidAngle.h"
#include "plugin/HostStrings.h"
#include "plugin/NiOxDriver.h"
#include "sim/NiOxSimulation.h"
#include "sim/SimulatedEMSAFile.h"
#include "tests/nioxdriver/SpectrumImages.h"
#include "tests/plugin/FrameTest.h"

using namespace xray;

namespace {

using namespace nioxtest;

constexpr int kTwoSigma = 1;  // index of the 2 sigma error

struct Range {
    double lower, upper;  // keV, both included
};

// The channel energies the drivers use: a 4-byte real step widened to double.
double Sum(const std::vector<double>& counts, Range r) {
    double sum = 0.0;
    for (size_t i = 0; i < counts.size(); ++i) {
        const double energy = static_cast<double>(0.01f) * static_cast<double>(i);
        if (r.lower <= energy && energy <= r.upper)
            sum += counts[i];
    }
    return sum;
}

// Net counts the window arithmetic measures on the noise-free model.
WindowTable ExpectedWindows(const std::vector<double>& m) {
    WindowTable w(kWindowRows, 2);
    w(kOxygenK, kNet) = Sum(m, {0.38, 0.64}) - Sum(m, {1.10, 1.36});
    w(kNickelL, kNet) = Sum(m, {0.68, 1.00}) - Sum(m, {1.10, 1.42});
    w(kNickelK, kNet) = Sum(m, {7.16, 7.76}) - 0.5 * (Sum(m, {6.50, 7.10}) + Sum(m, {8.60, 9.20}));
    w(kMolybdenumL, kNet) =
        Sum(m, {2.16, 2.50}) - 0.5 * (Sum(m, {1.10, 1.44}) + Sum(m, {3.00, 3.34}));
    w(kMolybdenumK, kNet) =
        Sum(m, {17.04, 17.80}) - 0.5 * (Sum(m, {16.10, 16.86}) + Sum(m, {18.14, 18.90}));
    return w;
}

WindowTable MeasuredWindows(const std::vector<double>& counts) {
    WindowTable w(kWindowRows, 2);
    IntegrateWindows(TableOf(counts), w);
    return w;
}

// Strong Mo lines, so that the Mo ratios are measured well above their background.
NiOxSimulationParameters StrongMolybdenum() {
    NiOxSimulationParameters p;
    p.inverseHoleCount = 10.0;
    p.moKL = 1.0;
    p.xTilt = 12.0;
    p.generatorState = 2026;
    return p;
}

SolidAngleInput InputOf(const NiOxSimulationParameters& p) {
    return {p.filmThickness, p.beamVoltage, p.xTilt, p.yTilt, p.probeCurrent, p.liveTime};
}

TEST(ValidationTest, EnergyResolutionFollowsTheWidthLaw) {
    NiOxSimulationParameters p;
    p.generatorState = 2026;
    const SimulatedNiOxSpectrum s = SimulateNiOxSpectrum(p);
    Array1D<double> curve;
    const EnergyResolution r =
        ComputeEnergyResolution(static_cast<double>(0.01f), TableOf(s.counts), curve);
    EXPECT_NEAR(r.fwhmNiKa, LineWidth(p.resolutionMnKa, 7.4781), 1.5);
    EXPECT_NEAR(r.peakPosition, 7.4781, 0.005);
}

TEST(ValidationTest, InverseHoleCountAndMoKLRatio) {
    const NiOxSimulationParameters p = StrongMolybdenum();
    const SimulatedNiOxSpectrum s = SimulateNiOxSpectrum(p);
    const InverseHoleCount expectedHoles = ComputeInverseHoleCount(ExpectedWindows(s.expected));
    const MoKLRatio expectedKL = ComputeMoKLRatio(ExpectedWindows(s.expected));
    EXPECT_NEAR(expectedHoles.ratio, p.inverseHoleCount, 0.01 * p.inverseHoleCount);
    EXPECT_NEAR(expectedKL.ratio, p.moKL, 0.05 * p.moKL);

    const InverseHoleCount holes = ComputeInverseHoleCount(MeasuredWindows(s.counts));
    const MoKLRatio kl = ComputeMoKLRatio(MeasuredWindows(s.counts));
    EXPECT_NEAR(holes.ratio, expectedHoles.ratio, holes.errors[kTwoSigma]);
    EXPECT_NEAR(kl.ratio, expectedKL.ratio, kl.errors[kTwoSigma]);
}

TEST(ValidationTest, SolidAngle) {
    const NiOxSimulationParameters p = StrongMolybdenum();
    const SimulatedNiOxSpectrum s = SimulateNiOxSpectrum(p);
    const SolidAngle expected = ComputeSolidAngle(InputOf(p), ExpectedWindows(s.expected));
    EXPECT_NEAR(expected.solidAngle, p.solidAngle, 0.005 * p.solidAngle);
    const SolidAngle measured = ComputeSolidAngle(InputOf(p), MeasuredWindows(s.counts));
    EXPECT_NEAR(measured.solidAngle, expected.solidAngle, measured.solidAngleErrors[kTwoSigma]);
}

// Spectrum 1 carries the extra layers, so the differences (spectrum 1 less spectrum 2)
// are the layers' thicknesses. The errors count the net counts alone, so the spectra have
// a background small beside the O K and Ni L lines, as the error rule assumes.
TEST(ValidationTest, IceAndCarbonDifferences) {
    NiOxSimulationParameters clean;
    clean.liveTime = 1000.0;
    clean.realTime = 1100.0;
    clean.background = 0.2;
    clean.generatorState = 5;
    NiOxSimulationParameters covered = clean;
    covered.iceThickness = 50.0;
    covered.carbonThickness = 20.0;
    covered.generatorState = 6;
    const SimulatedNiOxSpectrum first = SimulateNiOxSpectrum(covered);
    const SimulatedNiOxSpectrum second = SimulateNiOxSpectrum(clean);

    const Contamination expected =
        EvaluateContamination(ExpectedWindows(first.expected), ExpectedWindows(second.expected));
    EXPECT_NEAR(expected.ice, 50.0, 1.0);
    EXPECT_NEAR(expected.carbon, 20.0, 0.5);
    const Contamination measured =
        EvaluateContaminationOfSpectra(TableOf(first.counts), TableOf(second.counts));
    EXPECT_NEAR(measured.ice, expected.ice, measured.iceErrors[kTwoSigma]);
    EXPECT_NEAR(measured.carbon, expected.carbon, measured.carbonErrors[kTwoSigma]);
}

// The number after `label` in a report.
double ReportValue(const std::string& report, const std::string& label) {
    const size_t at = report.find(label);
    EXPECT_NE(at, std::string::npos) << label;
    return at == std::string::npos ? NAN : std::stod(report.substr(at + label.size()));
}

class DriverValidationTest : public frametest::FrameTest {};

// From the EMSA/MAS text through the reader and the driver, as a file would go.
TEST_F(DriverValidationTest, TheReportRecoversTheTruthOfASimulatedFile) {
    const NiOxSimulationParameters p = StrongMolybdenum();
    const SimulatedNiOxSpectrum s = SimulateNiOxSpectrum(p);
    const EMSASpectrum read = ReadSpectrum({"sim.msa", WriteSimulatedEMSAText(s, "sim")});
    const std::vector<double> counts(read.channels.begin(), read.channels.end());
    SolidAngleTags tags;
    tags.xTilt = read.xtiltstge;
    tags.yTilt = read.ytiltstge;
    tags.voltage = read.beamkv;
    tags.probeCurrent = read.probecur;
    tags.liveTime = read.livetime;
    const Gatan::PlugIn::Image image = MakeImage(
        SpectrumSpec("sim", counts, static_cast<float>(read.offset),
                     static_cast<float>(read.xperchan), dmhost::kReal4Data, TagsOf(tags)));

    Gatan::PlugIn::Image fit;
    const std::string report = Gatan::PlugIn::StringToText(
        EvaluateNiOx(image, true, true, false, false, true, true, false, p.filmThickness, fit));
    ASSERT_FALSE(fHost.HasPendingException()) << fHost.PendingExceptionMessage();

    EXPECT_NEAR(ReportValue(report, "FWHM at NiKa:   "), LineWidth(p.resolutionMnKa, 7.4781), 1.5);
    const SolidAngle expected = ComputeSolidAngle(InputOf(p), ExpectedWindows(s.expected));
    EXPECT_NEAR(ReportValue(report, "Collection angle:  "), expected.solidAngle,
                ReportValue(report, "(sr)\n\t\tError 2sigma(95%): ") + 0.00005);
    const InverseHoleCount holes = ComputeInverseHoleCount(ExpectedWindows(s.expected));
    EXPECT_NEAR(ReportValue(report, "Inverse hole-count: "), holes.ratio,
                ReportValue(report, "\n\t\tError 2sigma(95%):  ") + 0.005);
}

}  // namespace
