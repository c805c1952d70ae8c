// Tag groups and lists through the host functions: paths, kinds, sharing and copying.
#include <gtest/gtest.h>

#include "HostTestSupport.h"

namespace dmhost_test {
namespace {

using dmhost::TagKind;
using dmhost::TagValue;

class TagTest : public HostTest {
  protected:
    int32_t SetString(DM_Object group, const char* path, const char* value) {
        auto text = fHost.MakeString(value);
        auto cells = Cells(3);
        cells[0].object = group;
        cells[1].text = path;
        cells[2].object = text.get();
        return Call("void TagGroupSetTagAsString( TagGroup, string, dm_string )", cells);
    }
    int32_t SetLong(DM_Object group, const char* path, int32_t value) {
        auto cells = Cells(3);
        cells[0].object = group;
        cells[1].text = path;
        cells[2].i32 = value;
        return Call("void TagGroupSetTagAsLong( TagGroup, string, long )", cells);
    }
    int32_t SetGroup(DM_Object group, const char* path, DM_Object value) {
        auto cells = Cells(3);
        cells[0].object = group;
        cells[1].text = path;
        cells[2].object = value;
        return Call("void TagGroupSetTagAsTagGroup( TagGroup, string, TagGroup )", cells);
    }
    int32_t Insert(DM_Object list, int32_t index, DM_Object group) {
        auto cells = Cells(3);
        cells[0].object = list;
        cells[1].i32 = index;
        cells[2].object = group;
        return Call("void TagGroupInsertTagAsTagGroup( TagGroup, long, TagGroup )", cells);
    }
    dmhost::ObjectRef NewTag(const char* signature) {
        auto cells = Cells(1);
        EXPECT_EQ(Call(signature, cells), DM_CALL_OK);
        return Own(cells[0].object);
    }
    void ExpectFailure(int32_t status, const std::string& message) {
        EXPECT_EQ(status, 1);
        EXPECT_EQ(fHost.PendingExceptionMessage(), message);
        fHost.ClearPendingException();
    }
};

TEST_F(TagTest, PathsCreateGroupsAndOverwriteInPlace) {
    auto root = NewTag("TagGroup NewTagGroup(  )");
    ASSERT_EQ(SetString(root.get(), "Microscope Info:Operator", "Ann"), DM_CALL_OK);
    ASSERT_EQ(SetLong(root.get(), "Microscope Info:Items", 3), DM_CALL_OK);
    ASSERT_EQ(SetString(root.get(), "Microscope Info:Operator", "Bo"), DM_CALL_OK);

    const TagValue tree = fHost.ReadTags(root.get());
    ASSERT_EQ(tree.members.size(), 1u);
    const TagValue& info = tree.members[0];
    EXPECT_EQ(info.kind, TagKind::kGroup);
    ASSERT_EQ(info.members.size(), 2u) << "overwriting keeps one member";
    EXPECT_EQ(info.members[0].label, "Operator") << "and its place";
    EXPECT_EQ(info.members[0].text, "Bo");
    EXPECT_EQ(tree.Find("Microscope Info:Items")->longValue, 3);

    ExpectFailure(SetLong(root.get(), "Microscope Info:Operator:Deeper", 1),
                  "Tag \"Operator\" is not a tag group.");
    ExpectFailure(SetLong(root.get(), "A::B", 1), "Invalid tag path \"A::B\".");
    ExpectFailure(SetLong(root.get(), "", 1), "Invalid tag path \"\".");
}

TEST_F(TagTest, GetTagAsDoubleReadsNumbersOnlyAndLeavesTheVariableOtherwise) {
    auto root = fHost.MakeTagGroup({TagValue::Long("Count", 7), TagValue::String("Name", "x")});
    auto get = [&](const char* path, double* value) {
        auto cells = Cells(4);
        cells[1].object = root.get();
        cells[2].text = path;
        cells[3].pointer = value;
        EXPECT_EQ(Call("Boolean TagGroupGetTagAsDouble( TagGroup, string, double * )", cells),
                  DM_CALL_OK);
        return cells[0].bytes[0] != 0;
    };
    double value = -1;
    EXPECT_TRUE(get("Count", &value));
    EXPECT_EQ(value, 7.0) << "a long tag reads as a double";
    value = -1;
    EXPECT_FALSE(get("Name", &value));
    EXPECT_FALSE(get("Missing:Path", &value));
    EXPECT_EQ(value, -1) << "a missing tag leaves the variable alone";
}

TEST_F(TagTest, SetTagAsTagGroupStoresTheGroupItself) {
    auto root = NewTag("TagGroup NewTagGroup(  )");
    auto eds = NewTag("TagGroup NewTagGroup(  )");
    ASSERT_EQ(SetGroup(root.get(), "EDS", eds.get()), DM_CALL_OK);
    ASSERT_EQ(SetLong(eds.get(), "Channels", 2048), DM_CALL_OK);
    EXPECT_EQ(fHost.ReadTags(root.get()).Find("EDS:Channels")->longValue, 2048)
        << "a change to the group after storing it shows through the tag";

    DM_Object found = nullptr;
    auto cells = Cells(4);
    cells[1].object = root.get();
    cells[2].text = "EDS";
    cells[3].pointer = &found;
    ASSERT_EQ(Call("Boolean TagGroupGetTagAsTagGroup( TagGroup, string, TagGroup * )", cells),
              DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 1);
    EXPECT_EQ(found, eds.get());
    EXPECT_EQ(fHost.ReferenceCount(eds.get()), 2) << "the output variable owns a reference";
    Own(found);

    DM_Object untouched = eds.get();
    cells = Cells(4);
    cells[1].object = root.get();
    cells[2].text = "Microscope Info";
    cells[3].pointer = &untouched;
    ASSERT_EQ(Call("Boolean TagGroupGetTagAsTagGroup( TagGroup, string, TagGroup * )", cells),
              DM_CALL_OK);
    EXPECT_EQ(cells[0].bytes[0], 0);
    EXPECT_EQ(untouched, eds.get()) << "not found: the variable keeps what it held";

    eds.reset();
    EXPECT_EQ(fHost.ReadTags(root.get()).Find("EDS:Channels")->longValue, 2048)
        << "the tag keeps the group alive";
}

TEST_F(TagTest, AGroupCannotBeStoredInsideItself) {
    auto outer = NewTag("TagGroup NewTagGroup(  )");
    auto inner = NewTag("TagGroup NewTagGroup(  )");
    ASSERT_EQ(SetGroup(outer.get(), "Inner", inner.get()), DM_CALL_OK);
    ExpectFailure(SetGroup(inner.get(), "Back", outer.get()),
                  "A tag group cannot be stored inside itself.");
    ExpectFailure(SetGroup(outer.get(), "Self", outer.get()),
                  "A tag group cannot be stored inside itself.");
    outer.reset();
    inner.reset();
    EXPECT_EQ(fHost.Audit(), fBaseline) << "no cycle keeps the groups alive";
}

TEST_F(TagTest, InsertPlacesItemsByIndexAndAppendsPastTheEnd) {
    auto list = NewTag("TagGroup NewTagList(  )");
    auto first = fHost.MakeTagGroup({TagValue::Long("n", 1)});
    auto second = fHost.MakeTagGroup({TagValue::Long("n", 2)});
    auto zeroth = fHost.MakeTagGroup({TagValue::Long("n", 0)});
    ASSERT_EQ(Insert(list.get(), 2147483647, first.get()), DM_CALL_OK);
    ASSERT_EQ(Insert(list.get(), 2147483647, second.get()), DM_CALL_OK);
    ASSERT_EQ(Insert(list.get(), 0, zeroth.get()), DM_CALL_OK);
    ExpectFailure(Insert(list.get(), -1, zeroth.get()), "Invalid tag index -1.");

    const TagValue items = fHost.ReadTags(list.get());
    EXPECT_EQ(items.kind, TagKind::kList);
    ASSERT_EQ(items.members.size(), 3u);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(items.members[i].members[0].longValue, i);
        EXPECT_EQ(items.members[i].label, "") << "list items have no label";
    }
}

TEST_F(TagTest, GetOrCreateTagListReturnsTheSameListAndRefusesOtherKinds) {
    auto root = fHost.MakeTagGroup({TagValue::Long("Scalar", 1)});
    auto get = [&](const char* path) {
        auto cells = Cells(3);
        cells[1].object = root.get();
        cells[2].text = path;
        const int32_t status =
            Call("TagGroup TagGroupGetOrCreateTagList( TagGroup, string )", cells);
        return std::make_pair(status, Own(cells[0].object));
    };
    auto created = get("Processing");
    ASSERT_EQ(created.first, DM_CALL_OK);
    auto again = get("Processing");
    EXPECT_EQ(again.second.get(), created.second.get());
    EXPECT_EQ(fHost.ReadTags(root.get()).Find("Processing")->kind, TagKind::kList);

    auto refused = get("Scalar");
    ExpectFailure(refused.first, "TagGroupGetOrCreateTagList: tag \"Scalar\" is not a list.");
    auto badPath = get("A::B");
    ExpectFailure(badPath.first, "Invalid tag path \"A::B\".");
    EXPECT_EQ(badPath.second.get(), nullptr);
    created.second.reset();
    again.second.reset();
    root.reset();
    EXPECT_EQ(fHost.Audit(), fBaseline) << "the refused path left no list behind";
}

TEST_F(TagTest, CopyTagsFromCopiesDeeplyReplacingLabelsAndAppendingItems) {
    auto source = fHost.MakeTagGroup(
        {TagValue::Double("Live time", 50.0),
         TagValue::Group("EDS", {TagValue::Long("Channels", 1024)}),
         TagValue::List("Processing",
                        {TagValue::Group("", {TagValue::String("Operation", "a")})})});
    auto destination =
        fHost.MakeTagGroup({TagValue::Double("Live time", 1.0), TagValue::String("Kept", "yes")});
    auto cells = Cells(2);
    cells[0].object = destination.get();
    cells[1].object = source.get();
    ASSERT_EQ(Call("void TagGroupCopyTagsFrom( TagGroup, TagGroup )", cells), DM_CALL_OK);

    ASSERT_EQ(SetLong(source.get(), "EDS:Channels", 1), DM_CALL_OK);
    const TagValue copied = fHost.ReadTags(destination.get());
    ASSERT_EQ(copied.members.size(), 4u);
    EXPECT_EQ(copied.members[0].doubleValue, 50.0) << "same label replaced in place";
    EXPECT_EQ(copied.members[1].text, "yes");
    EXPECT_EQ(copied.Find("EDS:Channels")->longValue, 1024) << "a deep copy";
    EXPECT_EQ(copied.Find("Processing")->members.size(), 1u);

    cells = Cells(2);
    cells[0].object = source.get();
    cells[1].object = source.get();
    ExpectFailure(Call("void TagGroupCopyTagsFrom( TagGroup, TagGroup )", cells),
                  "A tag group cannot be stored inside itself.");
}

}  // namespace
}  // namespace dmhost_test
