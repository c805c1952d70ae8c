// Linking, the host binding's use count, cached host functions and their one retry, and
// the typed calls' cells as the stand-in host reads them.
#include <gtest/gtest.h>

#include <string>

#include "plugin/ArgumentCells.h"
#include "plugin/DMPlugInException.h"
#include "plugin/HostFunctions.h"
#include "plugin/HostScope.h"
#include "plugin/HostStrings.h"
#include "plugin/NullHost.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using frametest::ExpectNothingHeld;
using frametest::FrameTest;
using frametest::UnlinkFrame;

const char* const kDataTypeSignature = "uint32 ImageGetDataType( ImageRef )";

dmhost::ImageSpec Spectrum(uint32_t dataType, std::vector<double> values) {
    dmhost::ImageSpec spec;
    spec.name = "spectrum";
    spec.dataType = dataType;
    spec.values = std::move(values);
    return spec;
}

TEST(HostLinkingTest, PendingInterfaceTakesOneReferenceAndBecomesCurrent) {
    dmhost::StandInHost first;
    dmhost::StandInHost second;

    LinkHost(first.Interface());
    LinkHost(first.Interface());
    EXPECT_EQ(first.Audit().interfaceReferences, 1) << "the same interface twice";
    EXPECT_EQ(PendingHost(), first.Interface());

    LinkHost(second.Interface());
    EXPECT_EQ(first.Audit().interfaceReferences, 0) << "the replaced one is given back";
    EXPECT_EQ(second.Audit().interfaceReferences, 1);

    LinkPendingHost();
    EXPECT_EQ(CurrentHost(), second.Interface());
    EXPECT_EQ(PendingHost(), nullptr);
    EXPECT_EQ(second.Audit().interfaceReferences, 1) << "pending and current hold one together";
    EXPECT_EQ(second.Audit().classInterfaceReferences, kHostClassCount);
    for (HostClassId id : {kImageClass, kTagGroupClass, kStringClass, kFunctionClass,
                           kThrowableClass, kScriptClassClass}) {
        EXPECT_TRUE(HoldsClassInterface(id)) << HostClassName(id);
    }

    UnlinkFrame();
    EXPECT_EQ(CurrentHost(), NullHost());
    EXPECT_FALSE(HoldsClassInterface(kImageClass));
    ExpectNothingHeld(first);
    ExpectNothingHeld(second);
}

TEST(HostLinkingTest, StartUpWithoutLinkingTalksToNullHost) {
    UnlinkFrame();
    LinkPendingHost();
    HostInterface* host = CurrentHost();
    ASSERT_EQ(host, NullHost());
    EXPECT_EQ(host->table->GetVersion(host), 0u);
}

TEST(HostLinkingTest, UsesAreCountedAndScopesGiveThemBack) {
    const int32_t held = HostUseCount();
    EXPECT_GE(held, 1) << "the module holds a use from load to unload";
    {
        HostScope scope;
        EXPECT_EQ(HostUseCount(), held + 1);
        EXPECT_EQ(scope.host(), CurrentHost());
        EXPECT_EQ(scope.context(), NullHostContext());
    }
    EXPECT_EQ(HostUseCount(), held);
}

TEST(NullHostTest, FailedCallsWithoutThrowableYieldEmptyResults) {
    UnlinkFrame();
    Image none;
    EXPECT_TRUE(ImageGetName(none).IsNull());
    EXPECT_TRUE(CreateReal1DImage("x", 3, 1).IsNull());
    EXPECT_EQ(ImageGetDataType(none), 0u);
    EXPECT_FALSE(ImageIsValid(none));
    double value = 7.5;
    EXPECT_FALSE(TagGroupGetTagAsDouble(TagGroup(), "A:B", value));
    EXPECT_EQ(value, 7.5);
    EXPECT_TRUE(MakeString("abc").IsNull());
    EXPECT_EQ(StringToText(String()), "");
    EXPECT_EQ(FilledHostFunctionSlots(), 0) << "NullHost knows no function";
}

class HostCallTest : public FrameTest {
  protected:
    // A slot of the test's own; module-level like the frame's, since used slots are chained.
    static HostFunctionSlot sSlot;

    uint32_t CallDataType(const Image& image) {
        ArgumentCell cells[2] = {};
        PutCell(cells[1], image.get());
        CallHostFunction(sSlot, 2, cells, kDataTypeSignature);
        return GetCell<uint32_t>(cells[0]);
    }
};
HostFunctionSlot HostCallTest::sSlot = {};

TEST_F(HostCallTest, StaleFunctionIsCalledAgainOnceWithAFreshHandleThatReplacesIt) {
    Image image = MakeImage(Spectrum(dmhost::kReal4Data, {1, 2}));
    EXPECT_EQ(CallDataType(image), 2u);
    DM_Object first = sSlot.fFunction;
    ASSERT_NE(first, nullptr);

    fHost.MakeFunctionStale(kDataTypeSignature, 1);
    EXPECT_EQ(CallDataType(image), 2u);
    EXPECT_NE(sSlot.fFunction, first);
    EXPECT_EQ(fHost.ReferenceCount(sSlot.fFunction), 1);
    EXPECT_FALSE(fHost.IsLive(first)) << "the stale handle is given back";
    EXPECT_FALSE(fHost.HasPendingException());

    EXPECT_EQ(CallDataType(image), 2u);
    EXPECT_EQ(fHost.CallCount("ImageGetDataType"), 3);
}

TEST_F(HostCallTest, SecondStaleAnswerIsAFailure) {
    Image image = MakeImage(Spectrum(dmhost::kReal4Data, {1}));
    EXPECT_EQ(CallDataType(image), 2u);
    DM_Object held = sSlot.fFunction;

    fHost.MakeFunctionStale(kDataTypeSignature, 2);
    try {
        CallDataType(image);
        ADD_FAILURE() << "no exception";
    } catch (const dmplugin_exception& error) {
        EXPECT_STREQ(error.what(), "The function handle is no longer valid.");
    }
    EXPECT_EQ(sSlot.fFunction, held) << "a fresh handle that failed replaces nothing";
    EXPECT_FALSE(fHost.HasPendingException()) << "the failure was taken from the host";
    EXPECT_EQ(fHost.CallCount("ImageGetDataType"), 1);
}

TEST_F(FrameTest, HostFailureTravelsWithTheHostsThrowable) {
    Image image = MakeImage(Spectrum(dmhost::kReal8Data, {1}));
    fHost.FailNextCall("ImageGetName", 28802, "Name refused.");
    try {
        ImageGetName(image);
        ADD_FAILURE() << "no exception";
    } catch (const dmplugin_exception& error) {
        EXPECT_STREQ(error.what(), "Name refused.");
        EXPECT_EQ(fHost.ThrowableCode(error.GetThrowable().get()), 28802);
        EXPECT_EQ(fHost.ReferenceCount(error.GetThrowable().get()), 1);
    }
    EXPECT_FALSE(fHost.HasPendingException());
    EXPECT_EQ(StringToText(ImageGetName(image)), "spectrum") << "the next call works";
}

}  // namespace
