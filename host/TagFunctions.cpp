// Host functions on tag groups and lists.
#include <string>

#include "host/CellFrame.h"
#include "host/HostFunctions.h"
#include "host/TagTree.h"

namespace dmhost {
namespace {

void NewTagGroup(HostState& host, CellFrame& frame) {
    frame.ReturnHandle(GiveOut(host, NewGroup(host.store(), false)));
}

void NewTagList(HostState& host, CellFrame& frame) {
    frame.ReturnHandle(GiveOut(host, NewGroup(host.store(), true)));
}

void TagGroupCopyTagsFrom(HostState& host, CellFrame& frame) {
    CopyTags(host.store(), frame.TagGroup(0), frame.TagGroup(1));
}

void TagGroupGetOrCreateTagList(HostState& host, CellFrame& frame) {
    TagGroupObject& group = frame.TagGroup(0);
    const std::string path = frame.Text(1);
    const TagEntry* found = FindTag(group, path);
    if (found != nullptr) {
        if (found->kind != TagKind::kList) {
            throw HostFailure("TagGroupGetOrCreateTagList: tag \"" + path + "\" is not a list.");
        }
        frame.ReturnHandle(GiveOut(host, found->group));
        return;
    }
    // The caller's reference is taken first, so a refused path frees the new list again.
    TagGroupObject* list = NewGroup(host.store(), true);
    host.store().AddExternal(list);
    try {
        TagEntry entry;
        entry.kind = TagKind::kList;
        entry.group = list;
        SetTag(host.store(), group, path, std::move(entry));
    } catch (...) {
        host.store().ReleaseExternal(list, "TagGroupGetOrCreateTagList");
        throw;
    }
    frame.ReturnHandle(list);
}

void TagGroupGetTagAsDouble(HostState&, CellFrame& frame) {
    const TagEntry* found = FindTag(frame.TagGroup(0), frame.Text(1));
    double* value = frame.Output<double>(2, TypeWord::kDouble);
    if (found == nullptr || (found->kind != TagKind::kDouble && found->kind != TagKind::kLong)) {
        frame.ReturnBool(false);
        return;
    }
    *value = found->kind == TagKind::kDouble ? found->doubleValue : found->longValue;
    frame.ReturnBool(true);
}

void TagGroupGetTagAsTagGroup(HostState& host, CellFrame& frame) {
    const TagEntry* found = FindTag(frame.TagGroup(0), frame.Text(1));
    DM_Object* variable = frame.Output<DM_Object>(2, TypeWord::kHandle);
    if (found == nullptr || found->group == nullptr) {
        frame.ReturnBool(false);
        return;
    }
    *variable = ToHandle(GiveOut(host, found->group));
    frame.ReturnBool(true);
}

void TagGroupInsertTagAsTagGroup(HostState& host, CellFrame& frame) {
    InsertTagGroup(host.store(), frame.TagGroup(0), frame.Long(1), &frame.TagGroup(2));
}

void TagGroupSetTagAsDouble(HostState& host, CellFrame& frame) {
    TagEntry entry;
    entry.kind = TagKind::kDouble;
    entry.doubleValue = frame.Double(2);
    SetTag(host.store(), frame.TagGroup(0), frame.Text(1), std::move(entry));
}

void TagGroupSetTagAsLong(HostState& host, CellFrame& frame) {
    TagEntry entry;
    entry.kind = TagKind::kLong;
    entry.longValue = frame.Long(2);
    SetTag(host.store(), frame.TagGroup(0), frame.Text(1), std::move(entry));
}

void TagGroupSetTagAsString(HostState& host, CellFrame& frame) {
    TagEntry entry;
    entry.kind = TagKind::kString;
    entry.text = frame.String(2).text;
    SetTag(host.store(), frame.TagGroup(0), frame.Text(1), std::move(entry));
}

// Stores the group itself, not a copy: later changes to it show through the tag.
void TagGroupSetTagAsTagGroup(HostState& host, CellFrame& frame) {
    TagGroupObject& value = frame.TagGroup(2);
    TagEntry entry;
    entry.kind = value.isList ? TagKind::kList : TagKind::kGroup;
    entry.group = &value;
    SetTag(host.store(), frame.TagGroup(0), frame.Text(1), std::move(entry));
}

}  // namespace

std::vector<BuiltinFunction> TagFunctions() {
    return {
        {"TagGroup NewTagGroup(  )", NewTagGroup},
        {"TagGroup NewTagList(  )", NewTagList},
        {"void TagGroupCopyTagsFrom( TagGroup, TagGroup )", TagGroupCopyTagsFrom},
        {"TagGroup TagGroupGetOrCreateTagList( TagGroup, string )", TagGroupGetOrCreateTagList},
        {"Boolean TagGroupGetTagAsDouble( TagGroup, string, double * )", TagGroupGetTagAsDouble},
        {"Boolean TagGroupGetTagAsTagGroup( TagGroup, string, TagGroup * )",
         TagGroupGetTagAsTagGroup},
        {"void TagGroupInsertTagAsTagGroup( TagGroup, long, TagGroup )",
         TagGroupInsertTagAsTagGroup},
        {"void TagGroupSetTagAsDouble( TagGroup, string, double )", TagGroupSetTagAsDouble},
        {"void TagGroupSetTagAsLong( TagGroup, string, long )", TagGroupSetTagAsLong},
        {"void TagGroupSetTagAsString( TagGroup, string, dm_string )", TagGroupSetTagAsString},
        {"void TagGroupSetTagAsTagGroup( TagGroup, string, TagGroup )", TagGroupSetTagAsTagGroup},
    };
}

}  // namespace dmhost
