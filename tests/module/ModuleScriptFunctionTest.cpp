// The two script functions complete in the module, called through the host as a script
// calls them: what they return and what they do to reference counts.
#include <gtest/gtest.h>

#include <string>

#include "host/StandInHost.h"
#include "tests/module/ModuleTest.h"

namespace {

using moduletest::ModuleTest;

class StartedModuleTest : public ModuleTest {
  protected:
    void SetUp() override { LinkAndStart(); }
    void TearDown() override {
        fModule->Shutdown();
        ModuleTest::TearDown();
    }
};

TEST_F(StartedModuleTest, TheVersionIsANewStringWithOneReferenceOnEveryCall) {
    dmhost::ScriptResult first = fHost.CallScriptFunction("Zor_XrayUtilsVersion", {});
    dmhost::ScriptResult second = fHost.CallScriptFunction("Zor_XrayUtilsVersion", {});
    EXPECT_FALSE(first.failed) << first.error;
    EXPECT_EQ(first.text, "0.14");
    EXPECT_EQ(second.text, "0.14");
    ASSERT_TRUE(first.value && second.value);
    EXPECT_NE(first.value.get(), second.value.get());
    EXPECT_EQ(fHost.ReferenceCount(first.value.get()), 1);
    EXPECT_EQ(fHost.ReferenceCount(second.value.get()), 1);
}

TEST_F(StartedModuleTest, ShellExecOfAMissingPathReturnsQuietlyAndKeepsItsArgument) {
    dmhost::ObjectRef path = fHost.MakeString("/no/such/folder/spectrum.msa");
    const int32_t before = fHost.ReferenceCount(path.get());
    dmhost::ScriptResult result =
        fHost.CallScriptFunction("XUtilsShellExec", {dmhost::ScriptValue::Object(path.get())});
    EXPECT_FALSE(result.failed) << result.error;
    EXPECT_FALSE(result.value);
    EXPECT_EQ(fHost.ReferenceCount(path.get()), before);
    EXPECT_EQ(fHost.ResultsText(), "");
    EXPECT_TRUE(fHost.Alerts().empty());
}

TEST_F(StartedModuleTest, ShellExecOfANullStringIsNotAnError) {
    dmhost::ScriptResult result =
        fHost.CallScriptFunction("XUtilsShellExec", {dmhost::ScriptValue::Object(nullptr)});
    EXPECT_FALSE(result.failed) << result.error;
}

}  // namespace
