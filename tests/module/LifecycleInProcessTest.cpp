// The lifecycle steps in process, with main objects of the test's own: the table DMZorlab
// installs, and the exception boundary of start-up, run, clean-up and shut-down.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "plugin/DMZorlab.h"
#include "plugin/HostBinding.h"
#include "plugin/PlugInLifecycle.h"
#include "plugin/ScriptFunctionTable.h"
#include "tests/module/ScriptFunctionSignatures.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;

std::vector<std::string> SignaturesOf(const std::vector<dmhost::InstalledFunction>& functions) {
    std::vector<std::string> signatures;
    for (const dmhost::InstalledFunction& function : functions)
        signatures.push_back(function.signature);
    return signatures;
}

std::vector<std::string> TableSignatures() {
    std::vector<std::string> signatures;
    for (const ScriptFunctionRow& row : kScriptFunctionTable)
        signatures.push_back(row.signature);
    return signatures;
}

void DM_CDECL DoNothing() {}

// Installs one function, then fails as told.
class FailingMain : public PlugInMain {
  public:
    enum class Failure { kNone, kStandard, kOther };
    Failure startup = Failure::kNone;
    Failure run = Failure::kNone;

    void Startup() override {
        AddFunction("void Installed(void)", DoNothing);
        Fail(startup);
    }
    void Run() override { Fail(run); }

  private:
    static void Fail(Failure failure) {
        if (failure == Failure::kStandard)
            throw std::runtime_error("the main object failed");
        if (failure == Failure::kOther)
            throw 7;
    }
};

class LifecycleTest : public frametest::FrameTest {
  protected:
    // Start-up links whatever is pending, as after the host's linking call.
    void Start() {
        LinkHost(fHost.Interface());
        StartPlugIn();
    }
};

TEST(ScriptFunctionTableTest, RowsAreTheSixFunctionsInTheirFixedOrder) {
    EXPECT_EQ(TableSignatures(), moduletest::ScriptFunctionSignatures());
    for (const ScriptFunctionRow& row : kScriptFunctionTable)
        EXPECT_NE(row.entry, nullptr) << row.signature;
}

TEST_F(LifecycleTest, StartupInstallsTheRowsInOrderAndShutDownRemovesThemInReverse) {
    DMZorlab mainObject;
    Start();
    EXPECT_FALSE(fHost.HasPendingException()) << fHost.PendingExceptionMessage();
    EXPECT_EQ(SignaturesOf(fHost.InstalledFunctions()), TableSignatures());
    EXPECT_EQ(mainObject.InstalledFunctions().size(), TableSignatures().size());

    ShutdownPlugIn();
    std::vector<std::string> reversed = TableSignatures();
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(fHost.UninstalledSignatures(), reversed);
    EXPECT_TRUE(mainObject.InstalledFunctions().empty());
}

TEST_F(LifecycleTest, AFailingStartupIsReportedAndWhatItInstalledStaysForShutDown) {
    FailingMain mainObject;
    mainObject.startup = FailingMain::Failure::kStandard;
    Start();
    EXPECT_EQ(fHost.PendingExceptionMessage(), "the main object failed");
    EXPECT_EQ(SignaturesOf(fHost.InstalledFunctions()),
              std::vector<std::string>{"void Installed(void)"});
    EXPECT_EQ(fHost.RegisteredClasses().size(), 1u) << "the class came before Startup";
    fHost.ClearPendingException();

    ShutdownPlugIn();
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    EXPECT_TRUE(fHost.RegisteredClasses().empty());
    EXPECT_FALSE(fHost.HasPendingException());
}

TEST_F(LifecycleTest, AnUnknownExceptionFromRunIsAnUnspecifiedError) {
    FailingMain mainObject;
    mainObject.run = FailingMain::Failure::kOther;
    Start();
    RunPlugIn();
    EXPECT_EQ(fHost.PendingExceptionMessage(), "An unspecified error has occurred.");
    fHost.ClearPendingException();
    CleanupPlugIn();
    EXPECT_FALSE(fHost.HasPendingException());
    ShutdownPlugIn();
}

TEST_F(LifecycleTest, TheNewestMainObjectIsTheMainObjectUntilItIsGone) {
    PlugInMain* outer = nullptr;
    {
        DMZorlab first;
        EXPECT_EQ(&PlugInMain::GetMainObject(), &first);
        outer = &first;
    }
    PlugInMain& fallback = PlugInMain::GetMainObject();
    EXPECT_NE(&fallback, outer);
    EXPECT_EQ(&PlugInMain::GetMainObject(), &fallback) << "the default is made once";
    EXPECT_EQ(typeid(fallback), typeid(PlugInMain));
}

}  // namespace
