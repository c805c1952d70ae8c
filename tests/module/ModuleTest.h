// ModuleTest: the built ZorXrayUtils module, loaded at run time into a fresh stand-in host
// for the length of one test, the way the host application loads it.
//
// The host is made first and destroyed last, so it outlives the module. At the end the
// module is unloaded (if the test has not done so) and the host's audit must show that the
// module holds nothing of the host's any more.
#ifndef XRAY_TESTS_MODULE_MODULETEST_H
#define XRAY_TESTS_MODULE_MODULETEST_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/PlugInModule.h"
#include "host/StandInHost.h"
#include "tests/module/ScriptFunctionSignatures.h"

namespace moduletest {

inline void ExpectNoHostReferenceHeld(const dmhost::StandInHost& host) {
    const dmhost::AuditSnapshot audit = host.Audit();
    for (int c = 0; c < dmhost::kObjectClassCount; ++c) {
        EXPECT_EQ(audit.references[c], 0)
            << dmhost::ObjectClassName(static_cast<dmhost::ObjectClass>(c));
    }
    EXPECT_EQ(audit.interfaceReferences, 0) << "the host interface";
    EXPECT_EQ(audit.classInterfaceReferences, 0) << "class interfaces";
    EXPECT_EQ(audit.openContexts, 0);
    EXPECT_EQ(audit.stringLocks, 0);
    EXPECT_EQ(audit.imageLocks, 0);
    EXPECT_EQ(host.AuditErrors(), std::vector<std::string>());
}

class ModuleTest : public ::testing::Test {
  protected:
    explicit ModuleTest(uint32_t hostVersion = dmhost::kDefaultHostVersion)
        : fHost(hostVersion), fModule(std::make_unique<dmhost::PlugInModule>(ModulePath())) {}

    void TearDown() override {
        fModule->Unload();
        ExpectNoHostReferenceHeld(fHost);
    }

    static std::string ModulePath() { return ZORXRAYUTILS_MODULE_PATH; }

    void LinkAndStart() {
        fModule->Link(fHost.Interface());
        fModule->Startup();
    }

    std::vector<std::string> InstalledSignatures() const {
        std::vector<std::string> signatures;
        for (const dmhost::InstalledFunction& function : fHost.InstalledFunctions())
            signatures.push_back(function.signature);
        return signatures;
    }

    dmhost::StandInHost fHost;
    std::unique_ptr<dmhost::PlugInModule> fModule;
};

}  // namespace moduletest

#endif  // XRAY_TESTS_MODULE_MODULETEST_H
