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
    EXPECT_EQ(module_->GetVersion(), 2);
    module_->Link(host_.Interface());
    EXPECT_EQ(module_->GetVersion(), 2);
    module_->Link(nullptr);
}

TEST_F(OldHostTest, AHostOlderThan380GetsNothingAndTheMessage) {
    LinkAndStart();
    EXPECT_TRUE(host_.InstalledFunctions().empty());
    EXPECT_TRUE(host_.RegisteredClasses().empty());
    EXPECT_EQ(host_.PendingExceptionMessage(), kOldHostMessage);
    host_.ClearPendingException();
    module_->Shutdown();
}

TEST_F(ModuleTest, AHostOf380GetsTheFunctionsInTableOrderAndTheClass) {
    LinkAndStart();
    EXPECT_FALSE(host_.HasPendingException()) << host_.PendingExceptionMessage();
    const std::vector<std::string> installed = InstalledSignatures();
    EXPECT_TRUE(IsInOrderWithin(installed, ScriptFunctionSignatures()));
    EXPECT_EQ(installed.front(), ScriptFunctionSignatures().front());
    EXPECT_EQ(installed.back(), ScriptFunctionSignatures().back());
    for (const dmhost::InstalledFunction& function : host_.InstalledFunctions())
        EXPECT_EQ(function.flags, 3u) << function.signature;

    const std::vector<std::string> classes = host_.RegisteredClasses();
    ASSERT_EQ(classes.size(), 1u);
    const std::string& name = classes.front();
    ASSERT_GT(name.size(), std::string(kClassSuffix).size());
    EXPECT_EQ(name.substr(name.size() - std::string(kClassSuffix).size()), kClassSuffix);
    EXPECT_EQ(host_.ClassMethods(name),
              (std::vector<std::string>{
                  "threadsafe void *LockMemory( ScriptObject buffer, uint32 *size, void "
                  "**lock_data )",
                  "threadsafe void UnlockMemory( ScriptObject buffer, void *lock_data )"}));
    module_->Shutdown();
}

TEST_F(ModuleTest, StartingWithoutLinkingIsStartingWithAnOldHost) {
    module_->Startup();
    EXPECT_TRUE(host_.InstalledFunctions().empty());
    EXPECT_TRUE(host_.RegisteredClasses().empty());
    EXPECT_FALSE(host_.HasPendingException()) << "an unlinked module reaches no host";
    EXPECT_EQ(host_.Audit().interface_references, 0);
    module_->Shutdown();
    EXPECT_EQ(host_.CallLog(), std::vector<std::string>());
}

TEST_F(ModuleTest, ShutDownRemovesInReverseAndASecondOneOnlyTheClassAgain) {
    LinkAndStart();
    std::vector<std::string> reversed = InstalledSignatures();
    std::reverse(reversed.begin(), reversed.end());
    const std::string class_name = host_.RegisteredClasses().at(0);

    module_->Shutdown();
    EXPECT_EQ(host_.UninstalledSignatures(), reversed);
    EXPECT_TRUE(host_.InstalledFunctions().empty());
    EXPECT_TRUE(host_.RegisteredClasses().empty());
    EXPECT_EQ(host_.CallCount("UnregisterClass"), 1);

    module_->Shutdown();
    EXPECT_EQ(host_.UninstalledSignatures(), reversed) << "nothing more uninstalled";
    EXPECT_EQ(host_.CallCount("UnregisterClass"), 2) << "asked once more for " << class_name;
    EXPECT_FALSE(host_.HasPendingException()) << host_.PendingExceptionMessage();
}

TEST_F(ModuleTest, AFailingHostCallAtStartUpIsReportedAndInstallsNothing) {
    host_.FailNextCall("RegisterClass", 1234, "no classes today");
    LinkAndStart();
    EXPECT_EQ(host_.PendingExceptionMessage(), "no classes today");
    EXPECT_TRUE(host_.InstalledFunctions().empty()) << "the class comes before the functions";
    host_.ClearPendingException();
    module_->Shutdown();
}

TEST_F(ModuleTest, AFailingHostCallAtShutDownIsReportedAfterTheFunctionsAreGone) {
    LinkAndStart();
    host_.FailNextCall("UnregisterClass", 1234, "the class is busy");
    module_->Shutdown();
    EXPECT_EQ(host_.PendingExceptionMessage(), "the class is busy");
    EXPECT_TRUE(host_.InstalledFunctions().empty());
    host_.ClearPendingException();
}

TEST_F(ModuleTest, AMemoryBufferMethodDispatchesOffANullObject) {
    LinkAndStart();
    const std::string class_name = host_.RegisteredClasses().at(0);
    uint32_t size = 7;
    std::vector<ArgumentCell> cells(4, ArgumentCell{});
    cells[2].pointer = &size;
    dmhost::ScriptResult locked = host_.CallClassMethod(class_name, "LockMemory", cells);
    EXPECT_TRUE(locked.failed);
    EXPECT_EQ(locked.error, "Attempt to dispatch off a null object.");
    EXPECT_EQ(size, 7u);

    dmhost::ScriptResult unlocked =
        host_.CallClassMethod(class_name, "UnlockMemory", std::vector<ArgumentCell>(2));
    EXPECT_TRUE(unlocked.failed);
    EXPECT_EQ(unlocked.error, "Attempt to dispatch off a null object.");
    module_->Shutdown();
}

TEST_F(ModuleTest, AfterUseAndUnloadTheModuleHoldsNoHostReference) {
    LinkAndStart();
    dmhost::ScriptResult version = host_.CallScriptFunction("Zor_XrayUtilsVersion", {});
    EXPECT_EQ(version.text, "0.14");
    version.value.reset();
    EXPECT_GT(host_.Audit().interface_references, 0);
    EXPECT_GT(host_.Audit().class_interface_references, 0);
    module_->Shutdown();
    module_->Unload();
    moduletest::ExpectNoHostReferenceHeld(host_);
}

TEST_F(ModuleTest, UnloadingWithoutShutDownStillUninstallsAndGivesEverythingBack) {
    LinkAndStart();
    const size_t installed = host_.InstalledFunctions().size();
    module_->Unload();
    EXPECT_TRUE(host_.InstalledFunctions().empty());
    EXPECT_EQ(host_.UninstalledSignatures().size(), installed);
    moduletest::ExpectNoHostReferenceHeld(host_);
}

}  // namespace
