// Zor_EMSAtoDM as a script calls it: the built module loaded into the stand-in host, the
// image handed back with one reference, failures shown to the script with their own
// message, and the acquisition tags a person reads: clock times past midnight, a date or
// time the file does not give, energy-loss widths in kV.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "emsa/EMSAReader.h"
#include "host/PlugInModule.h"
#include "host/StandInHost.h"
#include "tests/import/SpectrumFiles.h"

using namespace xray;

namespace {

using dmhost::ObjectClass;
using dmhost::ScriptResult;
using dmhost::ScriptValue;
using importtest::Header;
using importtest::SpectrumText;

// What the reader alone says about the file.
std::string ReaderMessage(const std::string& path) {
    try {
        ReadSpectrumFile(path);
    } catch (const SpectrumFileError& error) {
        return error.what();
    }
    return "(the reader read the file)";
}

class ImportScriptFunctionTest : public ::testing::Test {
  protected:
    ImportScriptFunctionTest() : fModule(fHost, ZORXRAYUTILS_MODULE_PATH) {}

    // Once the module is shut down and unloaded, no reference on any host object may be
    // left; the test's own results are gone by now.
    void TearDown() override {
        fModule.Close();
        const dmhost::AuditSnapshot audit = fHost.Audit();
        for (int c = 0; c < dmhost::kObjectClassCount; ++c)
            EXPECT_EQ(audit.references[c], 0) << dmhost::ObjectClassName(ObjectClass(c));
        EXPECT_EQ(audit.imageLocks, 0);
        EXPECT_EQ(audit.stringLocks, 0);
        EXPECT_EQ(fHost.AuditErrors(), std::vector<std::string>());
    }

    ScriptResult Import(const std::string& path) {
        return fHost.CallScriptFunction("Zor_EMSAtoDM", {ScriptValue::String(path)});
    }

    // The tags of the image imported from a file with this header and these values.
    dmhost::TagValue ImportTags(const Header& header, const std::vector<std::string>& values) {
        const ScriptResult result = Import(fFiles.Write("s.msa", SpectrumText(header, values)));
        if (result.failed || !result.value)
            throw std::runtime_error("import failed: " + result.error);
        return fHost.ReadImage(result.value.get()).tags;
    }

    static const dmhost::TagValue& Tag(const dmhost::TagValue& tags, const std::string& path) {
        const dmhost::TagValue* tag = tags.Find(path);
        if (tag == nullptr)
            throw std::logic_error("no tag " + path);
        return *tag;
    }

    dmhost::StandInHost fHost;
    dmhost::HostedModule fModule;
    importtest::SpectrumFolder fFiles;
};

TEST_F(ImportScriptFunctionTest, InstalledAsTheSecondFunction) {
    const std::vector<dmhost::InstalledFunction> installed = fHost.InstalledFunctions();
    ASSERT_GE(installed.size(), 2u);
    EXPECT_EQ(installed[1].signature, "ImageRef Zor_EMSAtoDM(dm_string)");
    EXPECT_EQ(installed[1].flags, 3u);
}

TEST_F(ImportScriptFunctionTest, ReturnsTheSpectrumImageWithOneReference) {
    const std::string path = fFiles.Write(
        "Mo grid.msa",
        SpectrumText(
            {{"NPOINTS", "3"}, {"XPERCHAN", "20.0"}, {"SIGNALTYPE", "EDS"}, {"LIVETIME", "2"}},
            {"10", "20", "30"}));
    const ScriptResult result = Import(path);
    ASSERT_FALSE(result.failed) << result.error;
    ASSERT_TRUE(result.value);
    EXPECT_EQ(fHost.ReferenceCount(result.value.get()), 1) << "the script's one reference";
    const dmhost::ImageSnapshot image = fHost.ReadImage(result.value.get());
    EXPECT_EQ(image.name, "Mo grid");
    EXPECT_EQ(image.values, std::vector<double>({10, 20, 30}));
    EXPECT_EQ(image.calibrations[0].scale, 0.02f);
    EXPECT_EQ(image.tags.Find("EDS:Count rate")->doubleValue, 30.0);
    EXPECT_EQ(fHost.ResultsText(), "");
}

TEST_F(ImportScriptFunctionTest, UnopenableFileShowsTheResultsLineThenTheHostsRefusal) {
    const std::string path = fFiles.PathOf("no such file.msa");
    const ScriptResult result = Import(path);
    EXPECT_EQ(fHost.ResultsText(), "FAIL : Unable to open " + path + "!\n");
    EXPECT_TRUE(result.failed);
    EXPECT_FALSE(result.value) << "no empty image for the script";
    EXPECT_NE(result.error.find("0 elements"), std::string::npos) << result.error;
    EXPECT_EQ(fHost.Audit().Objects(ObjectClass::kImage), 0);
}

TEST_F(ImportScriptFunctionTest, ReadingErrorReachesTheScriptWithItsOwnMessage) {
    const std::string path =
        fFiles.Write("header.msa", importtest::HeaderLine("NPOINTS", "3") + "1\n2\n3\n");
    const ScriptResult result = Import(path);
    EXPECT_TRUE(result.failed);
    EXPECT_FALSE(result.value);
    EXPECT_EQ(result.error, ReaderMessage(path).substr(0, 255)) << "the frame keeps 255 characters";
    EXPECT_EQ(fHost.ResultsText(), "");
    EXPECT_EQ(fHost.Audit().Objects(ObjectClass::kImage), 0);
}

TEST_F(ImportScriptFunctionTest, AcquisitionPastMidnightEndsOnTheNextDaysClock) {
    const dmhost::TagValue twoHours = ImportTags(
        {{"NPOINTS", "1"}, {"SIGNALTYPE", "EDS"}, {"TIME", "23:00:00"}, {"REALTIME", "7200"}},
        {"1"});
    EXPECT_EQ(Tag(twoHours, "EDS:Acquisition:Start time").text, "11:0:0 PM");
    EXPECT_EQ(Tag(twoHours, "EDS:Acquisition:End time").text, "1:0:0 AM") << "hour 25";

    // 25 h 1 min 1.7 s from 22:10:50: 23:11:51 on the day after next.
    const dmhost::TagValue overADay = ImportTags(
        {{"NPOINTS", "1"}, {"SIGNALTYPE", "EDS"}, {"TIME", "22:10:50"}, {"REALTIME", "90061.7"}},
        {"1"});
    EXPECT_EQ(Tag(overADay, "EDS:Acquisition:End time").text, "11:11:51 PM");
}

TEST_F(ImportScriptFunctionTest, DateOrTimeTheFileDoesNotGiveIsEmpty) {
    const dmhost::TagValue dateOnly = ImportTags(
        {{"NPOINTS", "1"}, {"SIGNALTYPE", "EDS"}, {"DATE", "01-FEB-2020"}, {"REALTIME", "7200"}},
        {"1"});
    EXPECT_EQ(Tag(dateOnly, "EDS:Acquisition:Date").text, "2/1/2020");
    EXPECT_EQ(Tag(dateOnly, "EDS:Acquisition:Start time").text, "");
    EXPECT_EQ(Tag(dateOnly, "EDS:Acquisition:End time").text, "") << "no start to add to";

    const dmhost::TagValue timeOnly = ImportTags(
        {{"NPOINTS", "1"}, {"SIGNALTYPE", "EDS"}, {"TIME", "09:05:03"}, {"REALTIME", "60"}}, {"1"});
    EXPECT_EQ(Tag(timeOnly, "EDS:Acquisition:Date").text, "");
    EXPECT_EQ(Tag(timeOnly, "EDS:Acquisition:Start time").text, "9:5:3 AM");
    EXPECT_EQ(Tag(timeOnly, "EDS:Acquisition:End time").text, "9:6:3 AM");
}

TEST_F(ImportScriptFunctionTest, EnergyLossWidthAndRangeAreInKilovolts) {
    const ScriptResult result =
        Import(fFiles.Write("eels.msa", SpectrumText({{"NPOINTS", "2047"},
                                                      {"XUNITS", "eV"},
                                                      {"XPERCHAN", "3.1"},
                                                      {"OFFSET", "-20"},
                                                      {"SIGNALTYPE", "ELS"},
                                                      {"ELSDET", "PARALL"}},
                                                     std::vector<std::string>(2047, "5"))));
    ASSERT_FALSE(result.failed) << result.error;
    const dmhost::ImageSnapshot image = fHost.ReadImage(result.value.get());
    EXPECT_DOUBLE_EQ(Tag(image.tags, "EDS:Acquisition:Dispersion (kV)").doubleValue, 0.0031);
    EXPECT_EQ(Tag(image.tags, "EDS:Acquisition:Energy Range (kV)").doubleValue, 6.0)
        << "6345.7 eV truncated to whole kV";
    EXPECT_EQ(image.calibrations[0].scale, 3.1f) << "the calibration stays in eV";
    EXPECT_EQ(image.calibrations[0].origin, -20.0f);
    EXPECT_EQ(image.calibrations[0].units, "eV");
}

}  // namespace
