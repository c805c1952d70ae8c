// Loading a module library and driving its lifecycle in the host's order.
#include <gtest/gtest.h>

#include <stdexcept>

#include "HostTestSupport.h"
#include "host/PlugInModule.h"

namespace dmhost_test {
namespace {

using ModuleLoadTest = HostTest;

TEST_F(ModuleLoadTest, AHostedModuleIsLinkedStartedCalledAndUnloaded) {
    {
        dmhost::HostedModule hosted(fHost, FAKE_MODULE_PATH);
        EXPECT_EQ(hosted.module().GetVersion(), 2);
        EXPECT_EQ(fHost.Audit().interfaceReferences, 1) << "the module holds the host";
        ASSERT_EQ(fHost.InstalledFunctions().size(), 1u);
        auto result = fHost.CallScriptFunction("FakeVersion", {});
        EXPECT_EQ(result.text, "fake");

        hosted.Close();
        EXPECT_FALSE(hosted.module().IsLoaded());
        EXPECT_EQ(fHost.UninstalledSignatures(),
                  std::vector<std::string>{"dm_string FakeVersion(void)"});
        EXPECT_THROW(hosted.module().Startup(), std::logic_error);
        hosted.Close();  // a second close does nothing
    }
    EXPECT_EQ(fHost.Audit(), fBaseline)
        << "unloading ran the module's clean-up, which gave back the host";
}

TEST_F(ModuleLoadTest, TheLifecycleCanBeDrivenStepByStep) {
    dmhost::PlugInModule module(FAKE_MODULE_PATH);
    module.Link(Interface());
    module.Link(Interface());
    EXPECT_EQ(fHost.Audit().interfaceReferences, 1) << "linking twice takes one reference";
    module.Startup();
    module.Run();
    module.Cleanup();
    module.Shutdown();
    EXPECT_TRUE(fHost.InstalledFunctions().empty());
    module.Unload();
    EXPECT_EQ(fHost.Audit(), fBaseline);
}

TEST_F(ModuleLoadTest, ALibraryThatCannotBeLoadedIsReportedByPath) {
    try {
        dmhost::PlugInModule module("/no/such/libModule.so");
        FAIL() << "loaded a library that does not exist";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("/no/such/libModule.so"), std::string::npos);
    }
}

}  // namespace
}  // namespace dmhost_test
