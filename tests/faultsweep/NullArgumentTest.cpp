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
        : module_(host_, ZORXRAYUTILS_MODULE_PATH),
          spectrum_(
              host_.MakeImage(nioxtest::SpectrumSpec("NiOx", nioxtest::SharedSpectrum().counts))),
          output_(host_) {}

    void TearDown() override {
        output_.reset();
        spectrum_.reset();
        module_.Close();
        const dmhost::AuditSnapshot audit = host_.Audit();
        for (int c = 0; c < dmhost::kObjectClassCount; ++c)
            EXPECT_EQ(audit.references[c], 0) << dmhost::ObjectClassName(ObjectClass(c));
        EXPECT_EQ(audit.image_locks, 0);
        EXPECT_EQ(host_.AuditErrors(), std::vector<std::string>());
    }

    // The message the script saw; the call must have failed without a result.
    std::string ErrorOf(const std::string& function, const std::vector<ScriptValue>& arguments) {
        const ScriptResult result = host_.CallScriptFunction(function, arguments);
        EXPECT_TRUE(result.failed) << function;
        EXPECT_FALSE(result.value) << function;
        EXPECT_FALSE(output_) << function << " stored an image";
        return result.error;
    }

    ScriptValue Null() { return ScriptValue::Image(nullptr); }
    ScriptValue Spectrum() { return ScriptValue::Image(spectrum_.get()); }

    dmhost::StandInHost host_;
    dmhost::HostedModule module_;
    ObjectRef spectrum_;
    ObjectRef output_;
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
    EXPECT_NE(ErrorOf("Zor_NiOx", NiOxArguments(Null(), output_)).find(kNoImage),
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
                                                                 ScriptValue::Output(output_)});
        EXPECT_NE(error.find(kNoImage), std::string::npos) << type << ": " << error;
    }
}

TEST_F(NullArgumentTest, ImportWithoutPath) {
    EXPECT_NE(ErrorOf("Zor_EMSAtoDM", {ScriptValue::Object(nullptr)}).find("no string"),
              std::string::npos);
}

TEST_F(NullArgumentTest, ShellWithoutTextDoesNothing) {
    const ScriptResult result =
        host_.CallScriptFunction("XUtilsShellExec", {ScriptValue::Object(nullptr)});
    EXPECT_FALSE(result.failed) << result.error;
}

}  // namespace
