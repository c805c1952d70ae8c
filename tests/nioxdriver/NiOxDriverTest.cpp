// EvaluateNiOx through the stand-in host: what it copies, what it leaves alone, the header,
// which blocks appear in which order, the fit image, missing tags and failures. The
// fixture checks at teardown that no host reference, lock or context is left over.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "niox/EnergyResolution.h"
#include "niox/InverseHoleCount.h"
#include "niox/MoKLRatio.h"
#include "niox/NiOxEvaluation.h"
#include "niox/PeakToBackground.h"
#include "niox/ReportFormat.h"
#include "niox/SolidAngle.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/NiOxDriver.h"
#include "tests/nioxdriver/SpectrumImages.h"
#include "tests/plugin/FrameTest.h"

using namespace xray;

namespace {

using namespace Gatan::PlugIn;
using namespace nioxtest;

const char* const kTitles[] = {
    "********* Results of energy-resolution *********",
    "******** Results of inverse hole-count *********",
    "********** Results of Fiori P/B ratio **********",
    "********** Results of total P/B ratio **********",
    "************ Results of Mo K/L ratio ***********",
    "************ Results of solid-angle ************",
    "******** Results of detector efficiency ********",
};

NiOxSelection SelectionOf(unsigned bits) {
    return {(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0, (bits & 8) != 0,
            (bits & 16) != 0, (bits & 32) != 0, (bits & 64) != 0};
}
constexpr unsigned kAllFlags = 127;

class NiOxDriverTest : public frametest::FrameTest {
  protected:
    Image Spectrum(uint32_t dataType = dmhost::kReal4Data,
                   std::vector<dmhost::TagValue> tags = TagsOf({})) {
        return MakeImage(SpectrumSpec("NiOx test", SharedSpectrum().counts, 0.0f, 0.01f, dataType,
                                      std::move(tags)));
    }

    String Evaluate(const Image& spectrum, NiOxSelection s, Image& fit, double thickness = 50.0) {
        return EvaluateNiOx(spectrum, s.energyResolution, s.inverseHoleCount, s.fioriPB, s.totalPB,
                            s.moKL, s.solidAngle, s.detectorEfficiency, thickness, fit);
    }

    // The report, after checking that the call succeeded.
    std::string Report(const Image& spectrum, NiOxSelection s, Image& fit) {
        const String report = Evaluate(spectrum, s, fit);
        EXPECT_FALSE(fHost.HasPendingException()) << fHost.PendingExceptionMessage();
        EXPECT_FALSE(report.IsNull());
        return StringToText(report);
    }

    // The message of a failed call, which must have returned a null String.
    std::string Failure(const Image& spectrum, NiOxSelection s, Image& fit) {
        const String report = Evaluate(spectrum, s, fit);
        EXPECT_TRUE(report.IsNull());
        const std::string message = fHost.PendingExceptionMessage();
        fHost.ClearPendingException();
        return message;
    }
};

TEST_F(NiOxDriverTest, NoFlagReturnsNullWithoutCopying) {
    const Image spectrum = Spectrum();
    Image fit = CreateReal1DImage("Earlier", 4, 3);
    const DM_Object earlier = fit.get();
    fHost.ClearCallLog();

    const String report = Evaluate(spectrum, SelectionOf(0), fit);

    EXPECT_TRUE(report.IsNull());
    EXPECT_FALSE(fHost.HasPendingException());
    EXPECT_TRUE(fHost.CallLog().empty()) << fHost.CallLog().front();
    EXPECT_EQ(fit.get(), earlier);
    EXPECT_EQ(fHost.ReferenceCount(earlier), 1);
}

TEST_F(NiOxDriverTest, OtherDataTypesAreEvaluatedOnACopy) {
    Image fit;
    const std::string reference = Report(Spectrum(dmhost::kReal8Data), SelectionOf(kAllFlags), fit);
    for (uint32_t type : {dmhost::kReal4Data, dmhost::kInt32Data, dmhost::kUInt16Data}) {
        SCOPED_TRACE(type);
        const Image spectrum = Spectrum(type);
        const dmhost::ImageSnapshot before = fHost.ReadImage(spectrum.get());

        EXPECT_EQ(Report(spectrum, SelectionOf(kAllFlags), fit), reference);

        const dmhost::ImageSnapshot after = fHost.ReadImage(spectrum.get());
        EXPECT_EQ(after.dataType, type);
        EXPECT_EQ(after.values, before.values);
        EXPECT_EQ(after.dataChangedCount, before.dataChangedCount);
        EXPECT_EQ(fHost.ReferenceCount(spectrum.get()), 1);
    }
}

TEST_F(NiOxDriverTest, HeaderPadsTheOffsetToFiveCharacters) {
    Image fit;
    const std::string report = Report(Spectrum(), SelectionOf(2), fit);
    const std::string header =
        "\n\t\tFile name:        NiOx test\n\t\tSpectrum offset:     0 (keV)\n\t\tEnergy step:  "
        "    0.01 (keV)\n\t\tNumber of points: 2048\n\n";
    EXPECT_EQ(report.substr(0, header.size()), header);
    EXPECT_EQ(fHost.LastGetCalibrationFormat(), 0);

    const auto offsetAndStep = [](float offset, float step) {
        const std::string h = WriteNiOxHeader("n", offset, step, "eV", 7);
        const size_t from = h.find("offset: ") + 8;
        return h.substr(from, h.find(" (eV)") - from) + "|" +
               h.substr(h.find("step:      ") + 11, h.rfind(" (eV)") - h.find("step:      ") - 11);
    };
    EXPECT_EQ(offsetAndStep(-0.2f, 0.005f), " -0.2|0.005");
    EXPECT_EQ(offsetAndStep(0.12345f, 10.0f), "0.123|10");
    EXPECT_EQ(offsetAndStep(-200.0f, 0.0123456f), " -200|0.0123");
    EXPECT_EQ(offsetAndStep(12345.0f, 1234.5f), "1.23e+04|1.23e+03");
}

TEST_F(NiOxDriverTest, BlocksFollowTheFixedOrderWhateverTheSelection) {
    const Image spectrum = Spectrum();
    for (unsigned bits = 1; bits <= kAllFlags; ++bits) {
        SCOPED_TRACE(bits);
        Image fit;
        const std::string report = Report(spectrum, SelectionOf(bits), fit);
        size_t previous = 0;
        for (unsigned block = 0; block < 7; ++block) {
            const size_t at = report.find(kTitles[block]);
            if ((bits >> block & 1) == 0) {
                EXPECT_EQ(at, std::string::npos) << kTitles[block];
                continue;
            }
            ASSERT_NE(at, std::string::npos) << kTitles[block];
            EXPECT_GT(at, previous) << kTitles[block];
            previous = at;
        }
    }
}

// Every argument of every evaluation: the step, the windows, the Ni K channel count, the
// selection values and the five tags in their places.
TEST_F(NiOxDriverTest, AllFlagsGiveTheHeaderAndEveryBlockOfTheComputations) {
    const SolidAngleTags tags;
    const EnergyCountTable table = TableOf(SharedSpectrum().counts);
    WindowTable windows(kWindowRows, 2);
    const int32_t niKChannels = IntegrateWindows(table, windows);
    const double step = static_cast<double>(0.01f);
    Array1D<double> curve(table.nrows(), 0.0);
    const std::string expected =
        WriteNiOxHeader("NiOx test", 0.0f, 0.01f, "keV", 2048) +
        EvaluateEnergyResolution(step, table, curve) + EvaluateInverseHoleCount(windows) +
        EvaluatePeakToBackground(kFioriAndTotal, step, windows, niKChannels) +
        EvaluateMoKLRatio(windows) +
        EvaluateSolidAngle(kSolidAngleAndEfficiency, 42.5, tags.voltage, tags.xTilt, tags.yTilt,
                           tags.probeCurrent, tags.liveTime, windows);

    Image fit;
    const String report =
        EvaluateNiOx(Spectrum(), true, true, true, true, true, true, true, 42.5, fit);
    EXPECT_EQ(StringToText(report), expected);
    EXPECT_EQ(fHost.ReferenceCount(report.get()), 1);
}

// The numbers callers get from the core without the host are the report's, unrounded.
TEST_F(NiOxDriverTest, CoreResultsRoundToTheDigitsOfTheReport) {
    const SolidAngleTags tags;
    const SolidAngleInput input{42.5,       tags.voltage,      tags.xTilt,
                                tags.yTilt, tags.probeCurrent, tags.liveTime};
    const std::vector<double>& counts = SharedSpectrum().counts;
    const NiOxResults r = EvaluateNiOxSpectrum(
        {counts.data(), static_cast<int32_t>(counts.size()), 0.0, static_cast<double>(0.01f)},
        NiOxSelection::All(), input);
    ASSERT_FALSE(r.AnyFailed());
    Image fit;
    const std::string report =
        StringToText(EvaluateNiOx(Spectrum(), true, true, true, true, true, true, true, 42.5, fit));

    const EnergyResolution& e = *r.energyResolution.result;
    const SolidAngle& a = *r.detectorEfficiency.result;
    const std::pair<std::string, std::string> printed[] = {
        {"Peak position:  ", Fixed(e.peakPosition, 3)},
        {"FWHM at NiKa:   ", Fixed(e.fwhmNiKa, 1)},
        {"FWHM at MnKa:  ", Fixed(e.fwhmMnKa, 1)},
        {"Inverse hole-count: ", Fixed(r.inverseHoleCount.result->ratio, 2)},
        {"Error 3sigma(99%):  ", Fixed(r.inverseHoleCount.result->errors[2], 2)},
        {"Fiori P/B:         ", Fixed(r.fioriPB.result->fiori, 2)},
        {"Total P/B:         ", Fixed(r.totalPB.result->total, 2)},
        {"Mo K/L ratio:         ", Fixed(r.moKL.result->ratio, 2)},
        {"Collection angle:  ", Fixed(r.solidAngle.result->solidAngle, 4)},
        {"Normalized detector efficiency: ", Fixed(a.normalisedEfficiency, 4)},
    };
    for (const auto& [label, digits] : printed)
        EXPECT_THAT(report, ::testing::HasSubstr(label + digits));
    EXPECT_EQ(r.fitCurve.count(), static_cast<int32_t>(counts.size()));
    EXPECT_EQ(fHost.ReadImage(fit.get()).values[e.windowStart + e.windowCount / 2],
              static_cast<float>(r.fitCurve[e.windowStart + e.windowCount / 2]));
}

TEST_F(NiOxDriverTest, FitImageOnlyWhenTheEnergyResolutionIsSelected) {
    const Image spectrum = Spectrum();
    Image fit = CreateReal1DImage("Earlier", 4, 3);
    const Image earlier = fit;
    Report(spectrum, SelectionOf(kAllFlags & ~1u), fit);
    EXPECT_EQ(fit.get(), earlier.get());
    EXPECT_EQ(fHost.ReferenceCount(earlier.get()), 2);

    Report(spectrum, SelectionOf(1), fit);
    ASSERT_FALSE(fit.IsNull());
    EXPECT_NE(fit.get(), earlier.get());
    EXPECT_EQ(fHost.ReferenceCount(earlier.get()), 1) << "the earlier image was let go";
    EXPECT_EQ(fHost.ReferenceCount(fit.get()), 1);

    const dmhost::ImageSnapshot image = fHost.ReadImage(fit.get());
    EXPECT_EQ(image.name, "Gaussian Fit");
    EXPECT_EQ(image.dataType, dmhost::kReal4Data);
    EXPECT_EQ(image.lockCount, 0);
    ASSERT_EQ(image.values.size(), 2048u);
    Array1D<double> curve;
    const EnergyResolution r = ComputeEnergyResolution(static_cast<double>(0.01f),
                                                       TableOf(SharedSpectrum().counts), curve);
    for (int32_t i = 0; i < 2048; ++i) {
        const bool inside = i >= r.windowStart && i < r.windowStart + r.windowCount;
        if (!inside)
            ASSERT_EQ(image.values[i], 0.0) << i;
        else
            ASSERT_EQ(image.values[i], static_cast<float>(curve[i])) << i;
    }
    EXPECT_GT(image.values[748], 0.9 * r.peakHeight) << "the peak sits at Ni Ka";
}

TEST_F(NiOxDriverTest, AMissingTagIsAnErrorNamingIt) {
    Image fit;
    for (const std::string& path : SolidAngleTagPaths()) {
        SCOPED_TRACE(path);
        const Image spectrum = Spectrum(dmhost::kReal4Data, TagsOf({}, path));
        for (unsigned bits : {32u, 64u}) {
            const std::string message = Failure(spectrum, SelectionOf(bits), fit);
            EXPECT_NE(message.find("\"" + path + "\""), std::string::npos) << message;
        }
        EXPECT_FALSE(Report(spectrum, SelectionOf(kAllFlags & ~96u), fit).empty())
            << "the other evaluations need no tag";
        EXPECT_EQ(fHost.ReferenceCount(spectrum.get()), 1);
    }
}

TEST_F(NiOxDriverTest, FailuresReturnNullAndKeepTheCallerState) {
    Image fit = CreateReal1DImage("Earlier", 4, 3);
    const DM_Object earlier = fit.get();
    EXPECT_EQ(Failure(Image(), SelectionOf(kAllFlags), fit), "No spectrum image was given.");

    const Image spectrum = Spectrum();
    fHost.FailNextCall("ImageGetName", 28802, "The name is not to be had.");
    EXPECT_EQ(Failure(spectrum, SelectionOf(kAllFlags), fit), "The name is not to be had.");

    fHost.RefuseNextLock();
    EXPECT_FALSE(Failure(spectrum, SelectionOf(kAllFlags), fit).empty());

    fHost.FailNextCall("CreateReal1DImage", 28802, "No room for the fit.");
    EXPECT_EQ(Failure(spectrum, SelectionOf(1), fit), "No room for the fit.");

    const Image tooShort = MakeImage(
        SpectrumSpec("short", std::vector<double>(300, 5.0), 0.0f, 0.01f, dmhost::kReal4Data));
    EXPECT_NE(Failure(tooShort, SelectionOf(1), fit).find("Ni Ka"), std::string::npos);

    EXPECT_EQ(fit.get(), earlier);
    EXPECT_EQ(fHost.ReferenceCount(spectrum.get()), 1);
    EXPECT_EQ(fHost.ReferenceCount(earlier), 1);
}

}  // namespace
