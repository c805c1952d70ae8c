// Importing EMSA/MAS files through the stand-in host: the image, its calibration, every tag
// by label, kind and value, the derived texts, and what is left behind when a step fails.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "emsa/EMSAReader.h"
#include "plugin/DMPlugInException.h"
#include "plugin/EMSAioDM.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "tests/import/SpectrumFiles.h"
#include "tests/import/TagComparison.h"
#include "tests/plugin/FrameTest.h"

using namespace xray;

namespace {

using namespace Gatan::PlugIn;
using dmhost::ImageSnapshot;
using dmhost::ObjectClass;
using dmhost::TagValue;
using importtest::Header;
using importtest::SpectrumText;

class ImportTest : public frametest::FrameTest {
  protected:
    Image Import(const std::string& path) { return ImportEMSASpectrum(MakeHostString(path)); }

    ImageSnapshot ImportText(const std::string& text, const std::string& fileName = "s.msa") {
        return fHost.ReadImage(Import(fFiles.Write(fileName, text)).get());
    }
    ImageSnapshot ImportFile(const Header& header, const std::vector<std::string>& values) {
        return ImportText(SpectrumText(header, values));
    }
    // One tag of an image read back, which must exist.
    static const TagValue& Tag(const ImageSnapshot& image, const std::string& path) {
        const TagValue* tag = image.tags.Find(path);
        if (tag == nullptr)
            throw std::logic_error("no tag " + path);
        return *tag;
    }

    importtest::SpectrumFolder fFiles;
};

TagValue Item(const std::string& label) {
    return TagValue::Group("", {TagValue::Long("Data Type", 20), TagValue::String("Label", label),
                                TagValue::String("Tag path", "Microscope Info:" + label)});
}

// Every tag the import writes, in order, for the file of CompleteEdsFile below.
TagValue ExpectedTagsOfCompleteFile() {
    const TagValue microscopeInfo = TagValue::Group(
        "Microscope Info",
        {TagValue::List("Items", {Item("Specimen"), Item("Operator"), Item("Microscope")}),
         TagValue::String("Microscope", ""), TagValue::String("Operator", "A. Operator"),
         TagValue::String("Specimen", ""), TagValue::Double("Emission current (uA)", 5.5),
         TagValue::String("Illumination Mode", "TEM"), TagValue::String("Imaging Mode", "IMG"),
         TagValue::Double("Indicated Magnification", 50000.0),
         TagValue::String("Operation Mode", "IMAGE"), TagValue::Double("Probe Current (nA)", 1.25),
         TagValue::Double("Probe Size (nm)", 2.5), TagValue::Double("Voltage", 200.0)});
    const TagValue acquisition = TagValue::Group(
        "Acquisition",
        {TagValue::Long("Channels", 4), TagValue::String("Date", "1/12/2010"),
         TagValue::Double("Dispersion (kV)", 0.01), TagValue::String("End time", "10:7:8 AM"),
         TagValue::Double("Energy cut off (V)", 0.0), TagValue::Double("Energy Range (kV)", 0.0),
         TagValue::Double("Exposure (s)", 4.0), TagValue::Double("Live Time multiplier", 10.0),
         TagValue::String("Start time", "9:5:3 AM")});
    const TagValue detector = TagValue::Group(
        "Detector info",
        {TagValue::Double("Active layer", 3.0), TagValue::Double("Azimuthal angle", 45.0),
         TagValue::Double("Dead layer", 0.1), TagValue::String("Detector type", "SIUTW"),
         TagValue::Double("Elevation angle", 22.0), TagValue::Double("Fano factor", 0.1132),
         TagValue::Double("Gold layer", 0.01), TagValue::Double("Incident angle", 90.0),
         TagValue::Double("Solid angle", 0.13), TagValue::Double("Stage x-tilt", 15.5),
         TagValue::Double("Stage y-tilt", -3.25), TagValue::Double("Window thickness", 0.3),
         TagValue::Long("Window type", 2), TagValue::Double("Zero fwhm", 0.08049)});
    const TagValue eds = TagValue::Group(
        "EDS", {acquisition, detector, TagValue::Double("Count rate", 2.5),
                TagValue::Double("Live time", 4.0), TagValue::Double("Real time", 3725.5)});
    return TagValue::Group("", {microscopeInfo, eds});
}

// An EDS spectrum in eV with every keyword the tags use, and a few they do not.
Header CompleteEdsFile() {
    return {{"TITLE", "Ni film"},   {"OWNER", "A. Operator"}, {"DATE", "12-JAN-2010"},
            {"TIME", "09:05:03"},   {"NPOINTS", "4"},         {"NCOLUMNS", "1"},
            {"XUNITS", "eV"},       {"YUNITS", "counts"},     {"DATATYPE", "Y"},
            {"XPERCHAN", "10.0"},   {"OFFSET", "-200.0"},     {"SIGNALTYPE", "EDS"},
            {"CHOFFSET", "20"},     {"OPERMODE", "IMAGE"},    {"BEAMKV-kV", "200.0"},
            {"EMISSION-uA", "5.5"}, {"PROBECUR-nA", "1.25"},  {"BEAMDIAM-nm", "2.5"},
            {"MAGCAM", "50000"},    {"CONVANGLE", "10"},      {"XTILTSTGE", "15.5"},
            {"YTILTSTGE", "-3.25"}, {"EDSDET", "SILI"},       {"ELEVANGLE", "22.0"},
            {"AZIMANGLE", "45.0"},  {"SOLIDANGLE", "0.13"},   {"LIVETIME", "4.0"},
            {"REALTIME", "3725.5"}, {"TDEADLYR", "0.1"},      {"TACTLYR", "3.0"},
            {"TAUWIND", "0.01"},    {"TPYWIND", "0.3"},       {"TALWIND", "0.7"}};
}

TEST_F(ImportTest, CompleteEdsFileGivesACalibratedImageWithEveryTag) {
    const ImageSnapshot image =
        ImportText(SpectrumText(CompleteEdsFile(), {"1.5", "2.25", "3", "3.25"}), "Ni film 01.msa");

    EXPECT_EQ(image.name, "Ni film 01");
    EXPECT_EQ(image.dataType, 2u);
    EXPECT_EQ(image.dimensions, std::vector<uint32_t>({4}));
    EXPECT_EQ(image.values, std::vector<double>({1.5, 2.25, 3.0, 3.25}));
    ASSERT_EQ(image.calibrations.size(), 1u);
    EXPECT_EQ(image.calibrations[0].origin, -0.2f) << "eV turned into keV";
    EXPECT_EQ(image.calibrations[0].scale, 0.01f);
    EXPECT_EQ(image.calibrations[0].units, "keV");
    EXPECT_EQ(fHost.LastSetCalibrationFormat(), 0);
    EXPECT_EQ(image.intensityUnit, "Counts");
    EXPECT_EQ(image.dataChangedCount, 1);
    EXPECT_EQ(image.lockCount, 0);
    importtest::ExpectSameTags(ExpectedTagsOfCompleteFile(), image.tags);
    EXPECT_EQ(fHost.ResultsText(), "");
}

TEST_F(ImportTest, HostCallsComeInTheirOrder) {
    Import(fFiles.Write("s.msa", SpectrumText(CompleteEdsFile(), {"1", "2", "3", "4"})));
    std::vector<std::string> imageCalls;
    for (const std::string& call : fHost.CallLog()) {
        if (call.rfind("TagGroup", 0) != 0 && call != "NewTagGroup" && call != "NewTagList")
            imageCalls.push_back(call);
    }
    EXPECT_EQ(
        imageCalls,
        std::vector<std::string>(
            {"PathExtractBaseName", "CreateReal1DImage", "ImageLockData", "ImageGetLockedData",
             "ImageChangeDataType", "ImageSetDimensionCalibration", "ImageSetIntensityUnitString",
             "ImageGetTagGroup", "ImageDataChanged", "ImageIsValid", "ImageUnlockData"}));
}

TEST_F(ImportTest, ChannelValuesAreRoundedToFourByteReals) {
    const std::vector<double> written = {0.1, 3.14159265358979, 123456.789, -2.0e-7};
    const ImageSnapshot image = ImportFile({{"NPOINTS", "4"}, {"NCOLUMNS", "1"}},
                                           {"0.1", "3.14159265358979", "123456.789", "-2.0e-7"});
    ASSERT_EQ(image.values.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(image.values[i], static_cast<double>(static_cast<float>(written[i]))) << i;
        EXPECT_NE(image.values[i], written[i]) << i;
    }
}

TEST_F(ImportTest, EnergyRangeIsTruncatedTowardZero) {
    const ImageSnapshot image = ImportFile({{"NPOINTS", "2048"},
                                            {"NCOLUMNS", "1"},
                                            {"XPERCHAN", "0.01"},
                                            {"SIGNALTYPE", "EDS"},
                                            {"CHOFFSET", "20"}},
                                           std::vector<std::string>(2048, "7"));
    EXPECT_EQ(Tag(image, "EDS:Acquisition:Energy Range (kV)").doubleValue, 20.0) << "of 20.28";
    EXPECT_EQ(Tag(image, "EDS:Acquisition:Dispersion (kV)").doubleValue, 0.01);
    EXPECT_EQ(image.calibrations[0].units, "") << "a keV file keeps its own units text";
}

TEST_F(ImportTest, OperatingModeGivesIlluminationImagingAndOperationTexts) {
    struct Case {
        const char* opermode;  // null: no OPERMODE line
        const char* illumination;
        const char* imaging;
        const char* operation;
    };
    const Case cases[] = {{nullptr, "TEM", "IMG", ""},        {"IMAGE", "TEM", "IMG", "IMAGE"},
                          {"DIFFR", "TEM", "DIFF", "DIFFR"},  {"SCIMG", "STEM", "IMG", "SCIMG"},
                          {"SCDIF", "STEM", "DIFF", "SCDIF"}, {"SPOT", "TEM", "IMG", ""}};
    for (const Case& c : cases) {
        Header header = {{"NPOINTS", "1"}};
        if (c.opermode != nullptr)
            header.push_back({"OPERMODE", c.opermode});
        const ImageSnapshot image = ImportFile(header, {"1"});
        const std::string label = c.opermode ? c.opermode : "(none)";
        EXPECT_EQ(Tag(image, "Microscope Info:Illumination Mode").text, c.illumination) << label;
        EXPECT_EQ(Tag(image, "Microscope Info:Imaging Mode").text, c.imaging) << label;
        EXPECT_EQ(Tag(image, "Microscope Info:Operation Mode").text, c.operation) << label;
    }
}

TEST_F(ImportTest, TimesAroundNoonAndMidnightUseTheClockHourRules) {
    const ImageSnapshot noon = ImportFile(
        {{"NPOINTS", "1"}, {"SIGNALTYPE", "EDS"}, {"TIME", "12:30:00"}, {"REALTIME", "100.5"}},
        {"1"});
    EXPECT_EQ(Tag(noon, "EDS:Acquisition:Start time").text, "0:30:0 PM");
    EXPECT_EQ(Tag(noon, "EDS:Acquisition:End time").text, "0:31:40 PM");

    const ImageSnapshot midnight = ImportFile(
        {{"NPOINTS", "1"}, {"SIGNALTYPE", "EDS"}, {"TIME", "23:59:30"}, {"REALTIME", "45"}}, {"1"});
    EXPECT_EQ(Tag(midnight, "EDS:Acquisition:Start time").text, "11:59:30 PM");
    EXPECT_EQ(Tag(midnight, "EDS:Acquisition:End time").text, "0:0:15 AM") << "hour 0";
}

TEST_F(ImportTest, SerialEnergyLossSpectrumEndsAfterItsDwellTime) {
    const ImageSnapshot image = ImportFile({{"NPOINTS", "2"},
                                            {"SIGNALTYPE", "ELS"},
                                            {"ELSDET", "SERIAL"},
                                            {"DWELLTIME", "30"},
                                            {"REALTIME", "500"},
                                            {"XPERCHAN", "0.5"},
                                            {"EDSDET", "SIBEW"},
                                            {"TIME", "10:20:40"}},
                                           {"1", "2"});
    EXPECT_EQ(Tag(image, "EDS:Detector info:Detector type").text, "SERIAL");
    EXPECT_EQ(Tag(image, "EDS:Acquisition:Start time").text, "10:20:40 AM");
    EXPECT_EQ(Tag(image, "EDS:Acquisition:End time").text, "10:21:10 AM");
    EXPECT_EQ(Tag(image, "EDS:Real time").doubleValue, 500.0);
    EXPECT_EQ(image.calibrations[0].scale, 0.5f) << "eV per channel already";
}

TEST_F(ImportTest, FileWithoutCalendarOrLiveTimeKeepsTheDefaults) {
    const ImageSnapshot image = ImportFile({{"NPOINTS", "2"}}, {"3", "4"});
    // Empty rather than the record's -1 placeholders ("0/-1/-1", "-1:-1:-1 AM"), which no
    // one reading the tags could take for anything but a date and time.
    EXPECT_EQ(Tag(image, "EDS:Acquisition:Date").text, "");
    EXPECT_EQ(Tag(image, "EDS:Acquisition:Start time").text, "");
    EXPECT_EQ(Tag(image, "EDS:Acquisition:End time").text, "");
    EXPECT_TRUE(std::isinf(Tag(image, "EDS:Count rate").doubleValue)) << "7 / 0";
    EXPECT_EQ(Tag(image, "EDS:Detector info:Window type").longValue, 1);
    EXPECT_EQ(image.intensityUnit, "") << "no YUNITS line";
}

TEST_F(ImportTest, FileThatCannotBeOpenedIsReportedThenRefusedByTheHost) {
    const std::string path = fFiles.PathOf("missing.msa");
    EXPECT_THAT([&] { Import(path); },
                ::testing::ThrowsMessage<dmplugin_exception>(::testing::HasSubstr("0 elements")));
    EXPECT_EQ(fHost.ResultsText(), "FAIL : Unable to open " + path + "!\n");
    EXPECT_EQ(fHost.CallCount("CreateReal1DImage"), 1) << "the empty image was asked for";
    EXPECT_EQ(fHost.Audit().Objects(ObjectClass::kImage), 0);
}

TEST_F(ImportTest, SameFileTwiceGivesTwoIndependentImages) {
    const std::string path =
        fFiles.Write("twice.msa", SpectrumText(CompleteEdsFile(), {"1", "2", "3", "4"}));
    const Image first = Import(path);
    const Image second = Import(path);
    ASSERT_FALSE(first.IsSameObject(second.get()));
    EXPECT_EQ(fHost.ReferenceCount(first.get()), 1);
    EXPECT_EQ(fHost.ReferenceCount(second.get()), 1);

    const ImageSnapshot before = fHost.ReadImage(second.get());
    EXPECT_EQ(fHost.ReadImage(first.get()).values, before.values);
    importtest::ExpectSameTags(fHost.ReadImage(first.get()).tags, before.tags);

    TagGroupSetTagAsDouble(ImageGetTagGroup(first), "EDS:Detector info:Stage x-tilt", 40.0);
    ImageChangeDataType(first, dmhost::kReal8Data);
    const ImageSnapshot after = fHost.ReadImage(second.get());
    importtest::ExpectSameTags(before.tags, after.tags);
    EXPECT_EQ(after.dataType, 2u);
}

TEST_F(ImportTest, ReadingFailureMakesNoImage) {
    const std::string path =
        fFiles.Write("header only.msa", importtest::HeaderLine("NPOINTS", "3"));
    EXPECT_THROW(Import(path), SpectrumFileError);
    EXPECT_EQ(fHost.CallCount("CreateReal1DImage"), 0);
    EXPECT_EQ(fHost.ResultsText(), "") << "only an open failure is written to Results";
}

TEST_F(ImportTest, HostFailurePartWayReleasesTheImageAndEveryHandle) {
    const std::string path =
        fFiles.Write("s.msa", SpectrumText(CompleteEdsFile(), {"1", "2", "3", "4"}));
    for (const char* function :
         {"PathExtractBaseName", "ImageChangeDataType", "ImageSetDimensionCalibration",
          "ImageSetIntensityUnitString", "TagGroupInsertTagAsTagGroup", "TagGroupSetTagAsString",
          "TagGroupSetTagAsTagGroup", "ImageDataChanged"}) {
        fHost.FailNextCall(function, 28802, std::string(function) + " refused");
        EXPECT_THAT([&] { Import(path); }, ::testing::ThrowsMessage<dmplugin_exception>(
                                               std::string(function) + " refused"));
        const dmhost::AuditSnapshot audit = fHost.Audit();
        EXPECT_EQ(audit.Objects(ObjectClass::kImage), 0) << function;
        EXPECT_EQ(audit.References(ObjectClass::kTagGroup), 0) << function;
        EXPECT_EQ(audit.References(ObjectClass::kString), 0) << function;
        EXPECT_EQ(audit.imageLocks, 0) << function;
    }
}

}  // namespace
