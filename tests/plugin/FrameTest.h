// FrameTest: the frame linked to a fresh stand-in host for the length of one test.
//
// The fixture holds the module's library data (its error manager and allocation-failure
// handler) as a main object would, and links the host the way start-up does. At the end
// it gives back what the module keeps between calls (cached host functions, the host
// interface and the class interfaces) and checks that the host's audit then shows no
// reference, context or lock left over. Tests keep host objects in locals, which are gone
// by then.
#ifndef XRAY_TESTS_PLUGIN_FRAMETEST_H
#define XRAY_TESTS_PLUGIN_FRAMETEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/StandInHost.h"
#include "plugin/HostBinding.h"
#include "plugin/HostCall.h"
#include "plugin/HostHandles.h"
#include "plugin/PlugInUtility.h"

namespace frametest {

// Gives the frame back to NullHost, as before any linking.
inline void UnlinkFrame() {
    Gatan::PlugIn::ReleaseHostFunctionSlots();
    Gatan::PlugIn::LinkHost(nullptr);
    Gatan::PlugIn::LinkPendingHost();
}

inline void ExpectNothingHeld(const dmhost::StandInHost& host) {
    const dmhost::AuditSnapshot audit = host.Audit();
    for (int c = 0; c < dmhost::kObjectClassCount; ++c) {
        EXPECT_EQ(audit.references[c], 0)
            << dmhost::ObjectClassName(static_cast<dmhost::ObjectClass>(c));
    }
    EXPECT_EQ(audit.interfaceReferences, 0);
    EXPECT_EQ(audit.classInterfaceReferences, 0);
    EXPECT_EQ(audit.openContexts, 0);
    EXPECT_EQ(audit.stringLocks, 0);
    EXPECT_EQ(audit.imageLocks, 0);
    EXPECT_EQ(host.AuditErrors(), std::vector<std::string>());
}

class FrameTest : public ::testing::Test {
  protected:
    FrameTest() {
        Gatan::PlugIn::LinkHost(fHost.Interface());
        Gatan::PlugIn::LinkPendingHost();
    }

    void TearDown() override {
        UnlinkFrame();
        ExpectNothingHeld(fHost);
    }

    Gatan::PlugIn::Image MakeImage(const dmhost::ImageSpec& spec) {
        dmhost::ObjectRef made = fHost.MakeImage(spec);
        return Gatan::PlugIn::Image::TakeOver(made.release());
    }

    Gatan::PlugIn::String MakeHostString(const std::string& text) {
        return Gatan::PlugIn::String::TakeOver(fHost.MakeString(text).release());
    }

    dmhost::StandInHost fHost;
    Gatan::PlugIn::PlugInLibraryReference fLibrary;
};

}  // namespace frametest

#endif  // XRAY_TESTS_PLUGIN_FRAMETEST_H
