// A null image or string argument to each script function of the built module: a clear
// error for the script, never a crash, and nothing held afterwards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/PlugInModule.h"
#include "host/StandInHost.h"
#include "tests/nioxdriver/SpectrumImages.h"

using namespace xray;

namespace {

using dmhost::ObjectClass;
using dmhost::ObjectRef;
using dmhost::ScriptResult;
using dmhost::ScriptValue;

class NullArgumentTest : public ::testing::Test {
  protected:
    NullArgumentTest()
        : fModule(fHost, ZORXRAYUTILS_MODULE_PATH),
          fSpectrum(
              fHost.MakeImage(nioxtest::SpectrumSpec("NiOx", nioxtest::SharedSpectrum().counts))),
          fOutput(fHost) {}

    void TearDown() override {
        fOutput.reset();
        fSpectrum.reset();
        fModule.Close();
        const dmhost::AuditSnapshot audit = fHost.Audit();
        for (int c = 0; c < dmhost::kObjectClassCount; ++c)
            EXPECT_EQ(audit.references[c], 0) << dmhost::ObjectClassName(ObjectClass(c));
        EXPECT_EQ(audit.imageLocks, 0);
        EXPECT_EQ(fHost.AuditErrors(), std::vector<std::string>());
    }

    // The message the script saw; the call must have failed without a result.
    std::string ErrorOf(const std::string& function, const std::vector<ScriptValue>& arguments) {
        const ScriptResult result = fHost.CallScriptFunction(function, arguments);
        EXPECT_TRUE(result.failed) << function;
        EXPECT_FALSE(result.value) << function;
        EXPECT_FALSE(fOutput) << function << " stored an image";
        return result.error;
    }

    ScriptValue Null() { return ScriptValue::Image(nullptr); }
    ScriptValue Spectrum() { return ScriptValue::Image(fSpectrum.get()); }

    dmhost::StandInHost fHost;
    dmhost::HostedModule fModule;
    ObjectRef fSpectrum;
    ObjectRef fOutput;
};

std::vector<ScriptValue> NiOxArguments(ScriptValue spectrum, ObjectRef& output) {
    std::vector<ScriptValue> arguments = {spectrum};
    for (int i = 0; i < 7; ++i)
        arguments.push_back(ScriptValue::Bool(true));
    arguments.push_back(ScriptValue::Number(50.0));
    arguments.push_back(ScriptValue::Output(output));
    return arguments;
}

const char kNoImage[] = "No spectrum image was given";

TEST_F(NullArgumentTest, NiOxWithoutSpectrum) {
    EXPECT_NE(ErrorOf("Zor_NiOx", NiOxArguments(Null(), fOutput)).find(kNoImage),
              std::string::npos);
}

TEST_F(NullArgumentTest, NiOxIceCWithoutEitherSpectrum) {
    EXPECT_NE(ErrorOf("Zor_NiOxIceC", {Null(), Spectrum()}).find(kNoImage), std::string::npos);
    EXPECT_NE(ErrorOf("Zor_NiOxIceC", {Spectrum(), Null()}).find(kNoImage), std::string::npos);
    EXPECT_NE(ErrorOf("Zor_NiOxIceC", {Null(), Null()}).find(kNoImage), std::string::npos);
}

TEST_F(NullArgumentTest, SpectrumFilterWithoutSpectrum) {
    for (int type = 1; type <= 4; ++type) {
        const std::string error = ErrorOf("Zor_SpectrumFilter", {Null(), ScriptValue::Number(type),
                                                                 ScriptValue::Output(fOutput)});
        EXPECT_NE(error.find(kNoImage), std::string::npos) << type << ": " << error;
    }
}

TEST_F(NullArgumentTest, ImportWithoutPath) {
    EXPECT_NE(ErrorOf("Zor_EMSAtoDM", {ScriptValue::Object(nullptr)}).find("no string"),
              std::string::npos);
}

TEST_F(NullArgumentTest, ShellWithoutTextDoesNothing) {
    const ScriptResult result =
        fHost.CallScriptFunction("XUtilsShellExec", {ScriptValue::Object(nullptr)});
    EXPECT_FALSE(result.failed) << result.error;
}

}  // namespace
