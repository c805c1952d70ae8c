// The typed host calls: each puts its arguments where the host reads them and owns the
// handles it gets back. The callback table's entries reach the same host functions.
#include <gtest/gtest.h>

#include <string>

#include "plugin/HostFunctions.h"
#include "plugin/HostStrings.h"
#include "plugin/PlugInUtility.h"
#include "tests/plugin/FrameTest.h"

namespace {

using namespace Gatan::PlugIn;
using frametest::FrameTest;

TEST_F(FrameTest, TypedCallsPassArgumentsAndOwnResults) {
    Image image = CreateReal1DImage("Counts", 4, 5);
    ASSERT_FALSE(image.IsNull());
    EXPECT_EQ(fHost.ReferenceCount(image.get()), 1) << "a handle result carries one reference";
    EXPECT_EQ(StringToText(ImageGetName(image)), "Counts");
    EXPECT_EQ(ImageGetDimensionSize(image, 0), 5u);
    EXPECT_EQ(ImageGetDataType(image), 2u);
    EXPECT_TRUE(ImageIsValid(image));

    ImageSetDimensionCalibration(image, 0, 0.25f, 0.01f, MakeString("keV"), 0);
    float origin = 0;
    float scale = 0;
    String units;
    ImageGetDimensionCalibration(image, 0, origin, scale, units, 1);
    EXPECT_EQ(origin, 0.25f);
    EXPECT_EQ(scale, 0.01f);
    EXPECT_EQ(StringToText(units), "keV");
    EXPECT_EQ(fHost.ReferenceCount(units.get()), 1);
    EXPECT_EQ(fHost.LastSetCalibrationFormat(), 0);
    EXPECT_EQ(fHost.LastGetCalibrationFormat(), 1);

    TagGroup tags = ImageGetTagGroup(image);
    TagGroupSetTagAsDouble(tags, "EDS:Live time", 12.5);
    TagGroupSetTagAsLong(tags, "EDS:Channels", 4);
    double liveTime = 0;
    EXPECT_TRUE(TagGroupGetTagAsDouble(tags, "EDS:Live time", liveTime));
    EXPECT_EQ(liveTime, 12.5);
    EXPECT_FALSE(TagGroupGetTagAsDouble(tags, "EDS:Missing", liveTime));
    TagGroup eds;
    EXPECT_TRUE(TagGroupGetTagAsTagGroup(tags, "EDS", eds));
    EXPECT_EQ(fHost.ReadTags(eds.get()).Find("Channels")->longValue, 4);

    ImageChangeDataType(image, dmhost::kReal8Data);
    EXPECT_EQ(ImageGetDataType(image), 12u);
    EXPECT_EQ(fHost.ReadImage(image.get()).dataType, 12u);
}

TEST_F(FrameTest, ImagesCloneAndCarryNamesAndUnits) {
    Image image = CreateReal1DImage("Spectrum", 8, 3);
    ImageSetIntensityUnitString(image, MakeString("counts"));
    Image clone = ImageClone(image);
    ASSERT_FALSE(clone.IsSameObject(image.get()));
    EXPECT_EQ(fHost.ReferenceCount(clone.get()), 1);
    EXPECT_EQ(StringToText(ImageGetName(clone)), "Spectrum");
    EXPECT_EQ(StringToText(ImageGetIntensityUnitString(clone)), "counts");
    EXPECT_EQ(ImageGetDataType(clone), 12u);
    ImageDataChanged(clone);
    EXPECT_EQ(fHost.ReadImage(clone.get()).dataChangedCount, 1);
    EXPECT_EQ(fHost.ReferenceCount(image.get()), 1) << "arguments are borrowed";
}

TEST_F(FrameTest, TagGroupsListsAndStrings) {
    TagGroup root = NewTagGroup();
    TagGroup microscope = NewTagGroup();
    TagGroupSetTagAsString(microscope, "Name", MakeString("TEM"));
    TagGroupSetTagAsTagGroup(root, "Microscope Info", microscope);
    TagGroup history = TagGroupGetOrCreateTagList(root, "Processing");
    TagGroup step = NewTagGroup();
    TagGroupSetTagAsDouble(step, "Width", 1.5);
    TagGroupInsertTagAsTagGroup(history, 0, step);
    TagGroup list = NewTagList();
    EXPECT_EQ(fHost.ReadTags(list.get()).kind, dmhost::TagKind::kList);

    TagGroup copy = NewTagGroup();
    TagGroupCopyTagsFrom(copy, root);
    const dmhost::TagValue tags = fHost.ReadTags(copy.get());
    ASSERT_NE(tags.Find("Microscope Info:Name"), nullptr);
    EXPECT_EQ(tags.Find("Microscope Info:Name")->text, "TEM");
    const dmhost::TagValue* processing = tags.Find("Processing");
    ASSERT_NE(processing, nullptr);
    ASSERT_EQ(processing->members.size(), 1u);
    EXPECT_EQ(processing->members[0].Find("Width")->doubleValue, 1.5);

    TagGroup again = TagGroupGetOrCreateTagList(root, "Processing");
    EXPECT_TRUE(again.IsSameObject(history.get())) << "an existing list is found";
    EXPECT_EQ(fHost.ReferenceCount(history.get()), 2);
}

TEST_F(FrameTest, ServicesAndTheCallbackTable) {
    String base = PathExtractBaseName(MakeString("C:\\data\\NiOx 20kV.msa"), 0);
    EXPECT_EQ(StringToText(base), "NiOx 20kV");

    const PlugInCallbacks& callbacks = GetCallbacks();
    EXPECT_EQ(&callbacks, &GetCallbacks()) << "built once";
    callbacks.write_results("line\n", 5);
    EXPECT_EQ(fHost.ResultsText(), "line\n");
    callbacks.show_alert("Careful.", 2);
    ASSERT_EQ(fHost.Alerts().size(), 1u);
    EXPECT_EQ(fHost.Alerts()[0].text, "Careful.");
    EXPECT_EQ(fHost.Alerts()[0].kind, 2);

    int32_t menu = callbacks.register_custom_menu(7);
    int32_t tool = callbacks.register_custom_tool("Tool", 1);
    EXPECT_NE(menu, tool);
    callbacks.unregister_custom_menu(menu);
    callbacks.unregister_custom_tool(tool);
    EXPECT_EQ(fHost.CallCount("RegisterCustomMenu"), 1);
    EXPECT_EQ(fHost.CallCount("UnregisterCustomTool"), 1);
}

}  // namespace
