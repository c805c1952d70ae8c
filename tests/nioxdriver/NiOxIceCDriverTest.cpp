// EvaluateNiOxIceC through the stand-in host: each spectrum windowed with its own
// calibration, the channel count of the first spectrum, a second spectrum never read past
// its end, and failures reported at the driver's boundary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "niox/Contamination.h"
#include "plugin/HostStrings.h"
#include "plugin/NiOxIceCDriver.h"
#include "tests/nioxdriver/SpectrumImages.h"
#include "tests/plugin/FrameTest.h"

using namespace xray;

namespace {

using namespace Gatan::PlugIn;
using namespace nioxtest;

// Pairs of 10 eV channels summed into 20 eV channels centred between them.
std::vector<double> Rebinned(const std::vector<double>& counts) {
    std::vector<double> wide(counts.size() / 2);
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = counts[2 * i] + counts[2 * i + 1];
    return wide;
}

std::vector<double> FirstChannels(const std::vector<double>& counts, size_t n) {
    return std::vector<double>(counts.begin(), counts.begin() + static_cast<long>(n));
}

class NiOxIceCDriverTest : public frametest::FrameTest {
  protected:
    Image SpectrumOf(const std::string& name, const std::vector<double>& counts,
                     float offset = 0.0f, float step = 0.01f) {
        return MakeImage(SpectrumSpec(name, counts, offset, step));
    }

    std::string Report(const Image& first, const Image& second) {
        const String report = EvaluateNiOxIceC(first, second);
        EXPECT_FALSE(fHost.HasPendingException()) << fHost.PendingExceptionMessage();
        EXPECT_FALSE(report.IsNull());
        if (!report.IsNull()) {
            EXPECT_EQ(fHost.ReferenceCount(report.get()), 1);
        }
        return StringToText(report);
    }
};

TEST_F(NiOxIceCDriverTest, TheSameSpectrumTwiceGivesNoDifference) {
    const Image spectrum = SpectrumOf("NiOx A", SharedSpectrum().counts);
    const std::string report = Report(spectrum, spectrum);

    const EnergyCountTable table = TableOf(SharedSpectrum().counts);
    const Contamination r = EvaluateContaminationOfSpectra(table, table);
    EXPECT_EQ(report, WriteContaminationReport("NiOx A", "NiOx A", r));
    EXPECT_NE(report.find("Ice layer thickness: 0.0 (nm)"), std::string::npos) << report;
    EXPECT_NE(report.find("Carbon layer thickness: 0.0 (nm)"), std::string::npos) << report;
    for (int k = 0; k < 3; ++k) {
        EXPECT_GT(r.iceErrors[k], 0.0);
        EXPECT_GT(r.carbonErrors[k], 0.0);
    }
    EXPECT_EQ(fHost.ReferenceCount(spectrum.get()), 1);
}

TEST_F(NiOxIceCDriverTest, EachSpectrumIsWindowedWithItsOwnCalibration) {
    const std::vector<double>& fine = SharedSpectrum().counts;
    const std::vector<double> wide = Rebinned(fine);
    const std::string report =
        Report(SpectrumOf("fine: 10 eV", fine), SpectrumOf("wide: 20 eV", wide, 0.005f, 0.02f));

    const Contamination own =
        EvaluateContaminationOfSpectra(TableOf(fine), TableOf(wide, 0.005f, 0.02f));
    EXPECT_EQ(report, WriteContaminationReport("fine: 10 eV", "wide: 20 eV", own));
    const Contamination borrowed = EvaluateContaminationOfSpectra(TableOf(fine), TableOf(wide));
    EXPECT_NE(report, WriteContaminationReport("fine: 10 eV", "wide: 20 eV", borrowed));
}

TEST_F(NiOxIceCDriverTest, AShorterSecondSpectrumIsReadOnlyAsFarAsItGoes) {
    const std::vector<double>& counts = SharedSpectrum().counts;
    const std::vector<double> shorter = FirstChannels(counts, 900);
    const std::string report = Report(SpectrumOf("long", counts), SpectrumOf("short", shorter));
    EXPECT_EQ(report, WriteContaminationReport(
                          "long", "short",
                          EvaluateContaminationOfSpectra(TableOf(counts), TableOf(shorter))));
}

TEST_F(NiOxIceCDriverTest, ALongerSecondSpectrumIsCutToTheFirstCount) {
    const std::vector<double>& counts = SharedSpectrum().counts;
    const std::string report =
        Report(SpectrumOf("cut", FirstChannels(counts, 900)), SpectrumOf("whole", counts));
    EXPECT_NE(report.find("Ice layer thickness: 0.0 (nm)"), std::string::npos) << report;
    EXPECT_NE(report.find("Carbon layer thickness: 0.0 (nm)"), std::string::npos) << report;
}

TEST_F(NiOxIceCDriverTest, FailuresReturnNullAndLeakNothing) {
    const Image spectrum = SpectrumOf("NiOx", SharedSpectrum().counts);
    EXPECT_TRUE(EvaluateNiOxIceC(spectrum, Image()).IsNull());
    EXPECT_EQ(fHost.PendingExceptionMessage(), "No spectrum image was given.");
    fHost.ClearPendingException();

    fHost.FailNextCall("ImageClone", 28802, "No copy today.");
    EXPECT_TRUE(EvaluateNiOxIceC(spectrum, spectrum).IsNull());
    EXPECT_EQ(fHost.PendingExceptionMessage(), "No copy today.");
    fHost.ClearPendingException();
    EXPECT_EQ(fHost.ReferenceCount(spectrum.get()), 1);
}

}  // namespace
