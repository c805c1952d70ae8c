// Zor_EMSAtoDM as a script calls it: the built module loaded into the stand-in host, the
// image handed back with one reference, and failures shown to the script with their own
// message.
#include <gtest/gtest.h>

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

}  // namespace
