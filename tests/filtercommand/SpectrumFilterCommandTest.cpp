// The filter command against the stand-in host: what it reads, the image it makes, the
// processing record it appends, and that failures leave the caller's variable and the
// host's reference counts as they were.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "array/Array1D.h"
#include "filter/FilterTypes.h"
#include "plugin/HostFunctions.h"
#include "plugin/SpectrumFilterCommand.h"
#include "tests/plugin/FrameTest.h"

using namespace xray;

namespace {

using namespace Gatan::PlugIn;
using dmhost::TagKind;
using dmhost::TagValue;

constexpr int32_t kChannels = 64;
constexpr float kOrigin = 0.5f;
constexpr float kScale = 0.01f;
constexpr double kResolutionEV = 129.7;
const char* const kTypeNames[] = {"", "first derivative", "second derivative", "fixed tophat",
                                  "variable tophat"};

// Counts of a small peak on a sloping background, whole numbers so every data type holds them.
std::vector<double> PeakCounts() {
    std::vector<double> counts(kChannels);
    for (int32_t i = 0; i < kChannels; ++i)
        counts[i] =
            std::round(40.0 - 0.3 * i + 200.0 * std::exp(-0.5 * std::pow((i - 30) / 3.0, 2)));
    return counts;
}

TagValue EnergyResolutionTags(double resolutionEv) {
    return TagValue::Group(
        "EDS",
        {TagValue::Group("Detector info", {TagValue::Double("Energy resolution", resolutionEv)})});
}

std::vector<TagValue> SpectrumTags() {
    return {TagValue::Group("Microscope Info", {TagValue::String("Name", "TEM")}),
            EnergyResolutionTags(kResolutionEV),
            TagValue::List("Processing",
                           {TagValue::Group("", {TagValue::String("Operation", "import")})})};
}

// The kernel on the same doubles, as the command should have run it.
std::vector<double> Filtered(uint32_t type, const std::vector<double>& counts) {
    Array1D<double> values(static_cast<int32_t>(counts.size()));
    for (int32_t i = 0; i < values.count(); ++i)
        values[i] = counts[i];
    FindFilterType(type)->run(kOrigin, kScale, kResolutionEV / 1000.0, values);
    return std::vector<double>(values.begin(), values.end());
}

class SpectrumFilterTest : public frametest::FrameTest {
  protected:
    Image MakeSpectrum(uint32_t dataType, std::vector<TagValue> tags = SpectrumTags(),
                       std::vector<double> counts = PeakCounts()) {
        dmhost::ImageSpec spec;
        spec.name = "Spectrum 1";
        spec.dataType = dataType;
        spec.values = std::move(counts);
        spec.calibrations = {dmhost::DimensionCalibration{kOrigin, kScale, "keV"}};
        spec.intensityUnit = "counts";
        spec.tags = std::move(tags);
        return MakeImage(spec);
    }

    dmhost::ImageSnapshot FilterToSnapshot(const Image& spectrum, uint32_t type) {
        Image result;
        ApplySpectrumFilter(spectrum, type, result);
        EXPECT_FALSE(fHost.HasPendingException()) << fHost.PendingExceptionMessage();
        if (result.IsNull())
            return dmhost::ImageSnapshot();
        EXPECT_EQ(fHost.ReferenceCount(result.get()), 1);
        return fHost.ReadImage(result.get());
    }

    int32_t LiveImages() const { return fHost.Audit().Objects(dmhost::ObjectClass::kImage); }

    // Runs a filter that must fail: the host holds the message, and the variable keeps the
    // image it had.
    std::string ExpectFailure(const Image& spectrum, uint32_t type) {
        const Image previous = CreateReal1DImage("Earlier", 4, 3);
        Image result = previous;
        const int32_t imagesBefore = LiveImages();
        ApplySpectrumFilter(spectrum, type, result);
        EXPECT_TRUE(result.IsSameObject(previous.get()));
        EXPECT_EQ(fHost.ReferenceCount(previous.get()), 2);
        EXPECT_EQ(LiveImages(), imagesBefore) << "no image outlives a failed call";
        EXPECT_TRUE(fHost.HasPendingException());
        const std::string message = fHost.PendingExceptionMessage();
        fHost.ClearPendingException();
        return message;
    }
};

TEST_F(SpectrumFilterTest, TypesOutsideOneToFourFailBeforeAnyHostCall) {
    const Image spectrum = MakeSpectrum(dmhost::kReal4Data);
    for (uint32_t type : {0u, 5u, 0xFFFFFFFFu}) {
        fHost.ClearCallLog();
        EXPECT_EQ(ExpectFailure(spectrum, type), "FilterType is out of range, should be 1-4.");
        EXPECT_EQ(fHost.CallLog(), std::vector<std::string>({"CreateReal1DImage"}))
            << "only the test's own image was made, type " << type;
    }
}

TEST_F(SpectrumFilterTest, ReadsARealCloneInOrderAndLeavesTheInputAlone) {
    const Image spectrum = MakeSpectrum(dmhost::kInt16Data);
    const dmhost::ImageSnapshot before = fHost.ReadImage(spectrum.get());
    fHost.ClearCallLog();
    FilterToSnapshot(spectrum, 3);
    // clang-format off
    const std::vector<std::string> reads = {"ImageClone", "ImageGetDataType", "ImageChangeDataType",
        "ImageGetName", "ImageGetDimensionSize", "ImageGetDimensionCalibration",
        "ImageGetIntensityUnitString", "ImageGetTagGroup", "TagGroupGetTagAsDouble"};
    // clang-format on
    const std::vector<std::string>& log = fHost.CallLog();
    ASSERT_GE(log.size(), reads.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + reads.size()), reads);
    EXPECT_EQ(fHost.LastGetCalibrationFormat(), 1);
    const dmhost::ImageSnapshot after = fHost.ReadImage(spectrum.get());
    EXPECT_EQ(after.dataType, dmhost::kInt16Data);
    EXPECT_EQ(after.values, before.values);
    EXPECT_EQ(after.tags.Find("Processing")->members.size(), 1u) << "the input gains no record";
    EXPECT_EQ(after.lockCount, 0);
}

// Each input type with one of the filters: name, type, calibration, unit and values.
TEST_F(SpectrumFilterTest, ResultIsANamedCalibratedSingleImageOfTheFilteredValues) {
    const uint32_t inputTypes[] = {0, dmhost::kInt16Data, dmhost::kUInt32Data, dmhost::kReal4Data,
                                   dmhost::kReal8Data};
    for (uint32_t type = 1; type <= 4; ++type) {
        const dmhost::ImageSnapshot image = FilterToSnapshot(MakeSpectrum(inputTypes[type]), type);
        EXPECT_EQ(image.name, std::string("Spectrum 1 (") + kTypeNames[type] + ")");
        EXPECT_EQ(image.dataType, dmhost::kReal4Data);
        ASSERT_EQ(image.values.size(), static_cast<size_t>(kChannels));
        ASSERT_EQ(image.calibrations.size(), 1u);
        EXPECT_EQ(image.calibrations[0].origin, kOrigin);
        EXPECT_EQ(image.calibrations[0].scale, kScale);
        EXPECT_EQ(image.calibrations[0].units, "keV");
        EXPECT_EQ(fHost.LastSetCalibrationFormat(), 1);
        EXPECT_EQ(image.intensityUnit, type == 1 ? "counts/keV" : "counts/keV**2");
        EXPECT_GE(image.dataChangedCount, 1);
        const std::vector<double> expected = Filtered(type, PeakCounts());
        for (int32_t i = 0; i < kChannels; ++i)
            EXPECT_FLOAT_EQ(image.values[i], expected[i]) << "type " << type << " channel " << i;
    }
}

TEST_F(SpectrumFilterTest, ProcessingRecordGoesLastWithParametersOnlyForTopHats) {
    const Image spectrum = MakeSpectrum(dmhost::kReal4Data);
    const std::regex timeFormat(R"(\d\d/\d\d/\d{4}, \d\d:\d\d:\d\d (AM|PM))");
    for (uint32_t type = 1; type <= 4; ++type) {
        const TagValue tags = FilterToSnapshot(spectrum, type).tags;
        ASSERT_NE(tags.Find("Microscope Info:Name"), nullptr) << "the input's tags come along";
        const TagValue* history = tags.Find("Processing");
        ASSERT_TRUE(history != nullptr && history->kind == TagKind::kList);
        ASSERT_EQ(history->members.size(), 2u);
        EXPECT_EQ(history->members[0].Find("Operation")->text, "import");

        const TagValue& record = history->members[1];
        std::vector<std::string> labels;
        for (const TagValue& member : record.members)
            labels.push_back(member.label);
        EXPECT_EQ(record.Find("Operation")->text, kTypeNames[type]);
        EXPECT_TRUE(std::regex_match(record.Find("Time")->text, timeFormat))
            << record.Find("Time")->text;
        if (type <= 2) {
            EXPECT_EQ(labels, std::vector<std::string>({"Operation", "Time"}));
            continue;
        }
        ASSERT_EQ(labels, std::vector<std::string>({"Operation", "Parameters", "Time"}));
        const std::vector<TagValue>& parameters = record.members[1].members;
        ASSERT_EQ(parameters.size(), 1u);
        EXPECT_EQ(parameters[0].label,
                  type == 3 ? "Fixed lobe width (eV)" : "Variable lobe width (eV)");
        EXPECT_EQ(parameters[0].kind, TagKind::kDouble);
        EXPECT_EQ(parameters[0].doubleValue, kResolutionEV);
    }
}

TEST_F(SpectrumFilterTest, TopHatsNeedAPositiveResolutionAndDerivativesDoNot) {
    const std::vector<std::vector<TagValue>> unusable = {{},
                                                         {EnergyResolutionTags(0.0)},
                                                         {EnergyResolutionTags(-130.0)},
                                                         {EnergyResolutionTags(NAN)}};
    for (const std::vector<TagValue>& tags : unusable) {
        const Image spectrum = MakeSpectrum(dmhost::kReal4Data, tags);
        for (uint32_t type : {3u, 4u}) {
            EXPECT_NE(ExpectFailure(spectrum, type).find("\"EDS:Detector info:Energy resolution\""),
                      std::string::npos);
        }
        for (uint32_t type : {1u, 2u}) {
            const TagValue tags = FilterToSnapshot(spectrum, type).tags;
            const TagValue* history = tags.Find("Processing");
            EXPECT_TRUE(history != nullptr && history->members.size() == 1u)
                << "a spectrum without a history gets one";
        }
    }
}

TEST_F(SpectrumFilterTest, FailuresLeaveTheVariableAndTheInputAsTheyWere) {
    const Image spectrum = MakeSpectrum(dmhost::kReal4Data);
    fHost.FailNextCall("TagGroupCopyTagsFrom", 28802, "tags refused");
    EXPECT_EQ(ExpectFailure(spectrum, 1), "tags refused");
    fHost.FailNextCall("ImageClone", 28802, "no memory for a clone");
    EXPECT_EQ(ExpectFailure(spectrum, 1), "no memory for a clone");
    fHost.RefuseNextLock();
    ExpectFailure(spectrum, 2);
    EXPECT_EQ(fHost.ReadImage(spectrum.get()).lockCount, 0);
    EXPECT_EQ(fHost.ReferenceCount(spectrum.get()), 1);

    const Image shortSpectrum = MakeSpectrum(dmhost::kReal4Data, SpectrumTags(), {1, 2, 3, 4, 5});
    EXPECT_NE(ExpectFailure(shortSpectrum, 1).find("6"), std::string::npos)
        << "the message names the channels a first derivative needs";
    EXPECT_EQ(ExpectFailure(Image(), 1), "No spectrum image was given to filter.");
}

}  // namespace
