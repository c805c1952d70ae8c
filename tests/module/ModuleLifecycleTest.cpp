// The module's lifecycle as the host drives it: linking, the version check, start-up,
// shut-down and unloading, observed through the stand-in host.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/StandInHost.h"
#include "tests/module/ModuleTest.h"

namespace {

using moduletest::ModuleTest;
using moduletest::ScriptFunctionSignatures;

const char* const kOldHostMessage = "This plugin requires DM 3.8.0 or later.";
const char* const kClassSuffix = "_pluginmemorybuffer";

bool IsInOrderWithin(const std::vector<std::string>& part, const std::vector<std::string>& all) {
    auto position = all.begin();
    for (const std::string& item : part) {
        position = std::find(position, all.end(), item);
        if (position == all.end())
            return false;
        ++position;
    }
    return true;
}

class OldHostTest : public ModuleTest {
  protected:
    OldHostTest() : ModuleTest(0x0307FFFFu) {}
};

TEST_F(ModuleTest, TheLinkingProtocolIsTwoLinkedOrNot) {
    EXPECT_EQ(fModule->GetVersion(), 2);
    fModule->Link(fHost.Interface());
    EXPECT_EQ(fModule->GetVersion(), 2);
    fModule->Link(nullptr);
}

TEST_F(OldHostTest, AHostOlderThan380GetsNothingAndTheMessage) {
    LinkAndStart();
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    EXPECT_TRUE(fHost.RegisteredClasses().empty());
    EXPECT_EQ(fHost.PendingExceptionMessage(), kOldHostMessage);
    fHost.ClearPendingException();
    fModule->Shutdown();
}

TEST_F(ModuleTest, AHostOf380GetsTheFunctionsInTableOrderAndTheClass) {
    LinkAndStart();
    EXPECT_FALSE(fHost.HasPendingException()) << fHost.PendingExceptionMessage();
    const std::vector<std::string> installed = InstalledSignatures();
    EXPECT_TRUE(IsInOrderWithin(installed, ScriptFunctionSignatures()));
    EXPECT_EQ(installed.front(), ScriptFunctionSignatures().front());
    EXPECT_EQ(installed.back(), ScriptFunctionSignatures().back());
    for (const dmhost::InstalledFunction& function : fHost.InstalledFunctions())
        EXPECT_EQ(function.flags, 3u) << function.signature;

    const std::vector<std::string> classes = fHost.RegisteredClasses();
    ASSERT_EQ(classes.size(), 1u);
    const std::string& name = classes.front();
    ASSERT_GT(name.size(), std::string(kClassSuffix).size());
    EXPECT_EQ(name.substr(name.size() - std::string(kClassSuffix).size()), kClassSuffix);
    EXPECT_EQ(fHost.ClassMethods(name),
              (std::vector<std::string>{
                  "threadsafe void *LockMemory( ScriptObject buffer, uint32 *size, void "
                  "**lock_data )",
                  "threadsafe void UnlockMemory( ScriptObject buffer, void *lock_data )"}));
    fModule->Shutdown();
}

TEST_F(ModuleTest, StartingWithoutLinkingIsStartingWithAnOldHost) {
    fModule->Startup();
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    EXPECT_TRUE(fHost.RegisteredClasses().empty());
    EXPECT_FALSE(fHost.HasPendingException()) << "an unlinked module reaches no host";
    EXPECT_EQ(fHost.Audit().interfaceReferences, 0);
    fModule->Shutdown();
    EXPECT_EQ(fHost.CallLog(), std::vector<std::string>());
}

TEST_F(ModuleTest, ShutDownRemovesInReverseAndASecondOneOnlyTheClassAgain) {
    LinkAndStart();
    std::vector<std::string> reversed = InstalledSignatures();
    std::reverse(reversed.begin(), reversed.end());
    const std::string className = fHost.RegisteredClasses().at(0);

    fModule->Shutdown();
    EXPECT_EQ(fHost.UninstalledSignatures(), reversed);
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    EXPECT_TRUE(fHost.RegisteredClasses().empty());
    EXPECT_EQ(fHost.CallCount("UnregisterClass"), 1);

    fModule->Shutdown();
    EXPECT_EQ(fHost.UninstalledSignatures(), reversed) << "nothing more uninstalled";
    EXPECT_EQ(fHost.CallCount("UnregisterClass"), 2) << "asked once more for " << className;
    EXPECT_FALSE(fHost.HasPendingException()) << fHost.PendingExceptionMessage();
}

TEST_F(ModuleTest, AFailingHostCallAtStartUpIsReportedAndInstallsNothing) {
    fHost.FailNextCall("RegisterClass", 1234, "no classes today");
    LinkAndStart();
    EXPECT_EQ(fHost.PendingExceptionMessage(), "no classes today");
    EXPECT_TRUE(fHost.InstalledFunctions().empty()) << "the class comes before the functions";
    fHost.ClearPendingException();
    fModule->Shutdown();
}

TEST_F(ModuleTest, AFailingHostCallAtShutDownIsReportedAfterTheFunctionsAreGone) {
    LinkAndStart();
    fHost.FailNextCall("UnregisterClass", 1234, "the class is busy");
    fModule->Shutdown();
    EXPECT_EQ(fHost.PendingExceptionMessage(), "the class is busy");
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    fHost.ClearPendingException();
}

TEST_F(ModuleTest, AMemoryBufferMethodDispatchesOffANullObject) {
    LinkAndStart();
    const std::string className = fHost.RegisteredClasses().at(0);
    uint32_t size = 7;
    std::vector<ArgumentCell> cells(4, ArgumentCell{});
    cells[2].pointer = &size;
    dmhost::ScriptResult locked = fHost.CallClassMethod(className, "LockMemory", cells);
    EXPECT_TRUE(locked.failed);
    EXPECT_EQ(locked.error, "Attempt to dispatch off a null object.");
    EXPECT_EQ(size, 7u);

    dmhost::ScriptResult unlocked =
        fHost.CallClassMethod(className, "UnlockMemory", std::vector<ArgumentCell>(2));
    EXPECT_TRUE(unlocked.failed);
    EXPECT_EQ(unlocked.error, "Attempt to dispatch off a null object.");
    fModule->Shutdown();
}

TEST_F(ModuleTest, AfterUseAndUnloadTheModuleHoldsNoHostReference) {
    LinkAndStart();
    dmhost::ScriptResult version = fHost.CallScriptFunction("Zor_XrayUtilsVersion", {});
    EXPECT_EQ(version.text, "0.14");
    version.value.reset();
    EXPECT_GT(fHost.Audit().interfaceReferences, 0);
    EXPECT_GT(fHost.Audit().classInterfaceReferences, 0);
    fModule->Shutdown();
    fModule->Unload();
    moduletest::ExpectNoHostReferenceHeld(fHost);
}

TEST_F(ModuleTest, UnloadingWithoutShutDownStillUninstallsAndGivesEverythingBack) {
    LinkAndStart();
    const size_t installed = fHost.InstalledFunctions().size();
    fModule->Unload();
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    EXPECT_EQ(fHost.UninstalledSignatures().size(), installed);
    moduletest::ExpectNoHostReferenceHeld(fHost);
}

}  // namespace
