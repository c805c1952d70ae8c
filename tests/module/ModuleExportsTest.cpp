// The built module's unloading, read from the system's loader rather than from the module's
// own account.
#include <gtest/gtest.h>

#include "host/StandInHost.h"
#include "port/ModuleLibrary.h"
#include "tests/module/ModuleTest.h"

namespace {

TEST(ModuleExportsTest, UnloadingReallyUnloadsTheModule) {
    dmhost::StandInHost host;
    {
        dmhost::HostedModule hosted(host, ZORXRAYUTILS_MODULE_PATH);
        EXPECT_TRUE(xray::port::ModuleLibrary::IsLoaded(ZORXRAYUTILS_MODULE_PATH));
        hosted.Close();
    }
    EXPECT_FALSE(xray::port::ModuleLibrary::IsLoaded(ZORXRAYUTILS_MODULE_PATH))
        << "the module stayed in memory after its last close";
    moduletest::ExpectNoHostReferenceHeld(host);
}

}  // namespace
