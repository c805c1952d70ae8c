// The NiOx simulator: the same spectrum for the same generator state, lines set by the
// stated rules, Poisson statistics, parameter checks, and an EMSA/MAS text that the
// project's reader reads back unchanged.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "emsa/EMSAReader.h"
#include "niox/SolidAngle.h"
#include "sim/CountGenerator.h"
#include "sim/NiOxSimulation.h"
#include "sim/SimulatedEMSAFile.h"

using namespace xray;

namespace {

NiOxSimulationParameters Tilted() {
    NiOxSimulationParameters p;
    p.channels = 1024;
    p.beamVoltage = 300.0;
    p.xTilt = 15.0;
    p.yTilt = -10.0;
    p.probeCurrent = 0.8;
    p.liveTime = 60.0;
    p.realTime = 75.5;
    p.generatorState = 99;
    return p;
}

const SimulatedLine& LineNamed(const SimulatedNiOxSpectrum& s, const std::string& name) {
    for (const SimulatedLine& line : s.lines)
        if (line.name == name)
            return line;
    throw std::out_of_range(name);
}

TEST(SimulatorTest, TheGeneratorStateFixesTheSpectrum) {
    const SimulatedNiOxSpectrum a = SimulateNiOxSpectrum(Tilted());
    const SimulatedNiOxSpectrum b = SimulateNiOxSpectrum(Tilted());
    NiOxSimulationParameters other = Tilted();
    other.generatorState = 100;
    const SimulatedNiOxSpectrum c = SimulateNiOxSpectrum(other);
    EXPECT_EQ(a.counts, b.counts);
    EXPECT_EQ(a.expected, c.expected);
    EXPECT_NE(a.counts, c.counts);
    ASSERT_EQ(a.counts.size(), 1024u);
    EXPECT_EQ(DescribeTruth(a), DescribeTruth(b));
}

// The module's own solid-angle computation recovers the chosen solid angle from the Ni Ka
// counts, which makes the two formulas agree.
TEST(SimulatorTest, LinesFollowTheirRules) {
    const NiOxSimulationParameters p = Tilted();
    const SimulatedNiOxSpectrum s = SimulateNiOxSpectrum(p);
    const double niKa = LineNamed(s, "Ni Ka").counts;
    WindowTable windows(kWindowRows, 2);
    windows(kNickelK, kNet) = niKa;
    const SolidAngle recovered = ComputeSolidAngle(
        {p.filmThickness, p.beamVoltage, p.xTilt, p.yTilt, p.probeCurrent, p.liveTime}, windows);
    EXPECT_NEAR(recovered.solidAngle, p.solidAngle, 1e-12);

    EXPECT_DOUBLE_EQ(niKa / LineNamed(s, "Mo Ka").counts, p.inverseHoleCount);
    EXPECT_DOUBLE_EQ(LineNamed(s, "Mo Ka").counts / LineNamed(s, "Mo La").counts, p.moKL);
    EXPECT_DOUBLE_EQ(LineWidth(130.0, 5.8982451), 130.0);
    EXPECT_DOUBLE_EQ(LineNamed(s, "Ni Ka").fwhm, std::sqrt(130.0 * 130.0 + 2.49 * 1579.8549));
}

TEST(SimulatorTest, CountsArePoissonDistributed) {
    for (double mean : {3.5, 250.0}) {
        SCOPED_TRACE(mean);
        CountGenerator generator(7);
        constexpr int kDraws = 200000;
        double sum = 0.0;
        double squares = 0.0;
        for (int i = 0; i < kDraws; ++i) {
            const double k = static_cast<double>(generator.Poisson(mean));
            ASSERT_GE(k, 0.0);
            sum += k;
            squares += k * k;
        }
        const double average = sum / kDraws;
        const double variance = squares / kDraws - average * average;
        EXPECT_NEAR(average, mean, 5.0 * std::sqrt(mean / kDraws));
        EXPECT_NEAR(variance / mean, 1.0, 0.02);
    }
    CountGenerator generator(1);
    EXPECT_EQ(generator.Poisson(0.0), 0);
    EXPECT_EQ(generator.Poisson(-2.0), 0);
}

TEST(SimulatorTest, UnsupportedParametersAreRejectedByName) {
    const auto message = [](NiOxSimulationParameters p) {
        try {
            SimulateNiOxSpectrum(p);
        } catch (const std::invalid_argument& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    NiOxSimulationParameters p;
    p.beamVoltage = 199.0;
    EXPECT_NE(message(p).find("beam voltage"), std::string::npos);
    p = {};
    p.resolutionMnKa = 110.0;
    EXPECT_NE(message(p).find("resolution"), std::string::npos);
}

TEST(SimulatorTest, TheEMSATextReadsBack) {
    const SimulatedNiOxSpectrum s = SimulateNiOxSpectrum(Tilted());
    const std::string text = WriteSimulatedEMSAText(s, "NiOx simulated");
    size_t line = 0;
    while (line < text.size() && text[line] == '#') {
        EXPECT_EQ(text[line + 13], ':') << text.substr(line, text.find('\n', line) - line);
        line = text.find('\n', line) + 1;
    }

    const EMSASpectrum read = ReadSpectrum({"simulated.msa", text});
    EXPECT_EQ(read.title, "NiOx simulated");
    EXPECT_EQ(read.signaltype, SignalType::EDS);
    EXPECT_EQ(read.npoints, 1024);
    EXPECT_DOUBLE_EQ(read.xperchan, 0.01);
    EXPECT_EQ(read.offset, 0.0);
    EXPECT_EQ(read.xunits, "keV");
    EXPECT_EQ(read.beamkv, 300.0);
    EXPECT_EQ(read.probecur, 0.8);
    EXPECT_EQ(read.livetime, 60.0);
    EXPECT_EQ(read.realtime, 75.5);
    EXPECT_EQ(read.xtiltstge, 15.0);
    EXPECT_EQ(read.ytiltstge, -10.0);
    ASSERT_EQ(read.channels.count(), 1024);
    for (int32_t i = 0; i < 1024; ++i)
        ASSERT_EQ(read.channels[i], s.counts[i]) << i;
}

}  // namespace
