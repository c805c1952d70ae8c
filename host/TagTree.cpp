#include "host/TagTree.h"

#include <memory>
#include <string>

#include "host/HostFailure.h"

namespace dmhost {
namespace {

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> labels;
    size_t start = 0;
    while (true) {
        const size_t colon = path.find(':', start);
        const std::string_view label = path.substr(start, colon - start);
        if (label.empty())
            throw HostFailure("Invalid tag path \"" + std::string(path) + "\".");
        labels.push_back(label);
        if (colon == std::string_view::npos)
            return labels;
        start = colon + 1;
    }
}

TagEntry* FindMember(TagGroupObject& group, std::string_view label) {
    for (TagEntry& entry : group.entries) {
        if (entry.label == label)
            return &entry;
    }
    return nullptr;
}

bool Contains(const TagGroupObject& outer, const TagGroupObject* inner) {
    if (&outer == inner)
        return true;
    for (const TagEntry& entry : outer.entries) {
        if (entry.group != nullptr && Contains(*entry.group, inner))
            return true;
    }
    return false;
}

void RefuseCycle(const TagGroupObject* container, const TagGroupObject* group) {
    if (group != nullptr && Contains(*group, container)) {
        throw HostFailure("A tag group cannot be stored inside itself.");
    }
}

// The group at the labels before the last, created where missing.
TagGroupObject& WalkToParent(ObjectStore& store, TagGroupObject& root,
                             const std::vector<std::string_view>& labels) {
    TagGroupObject* group = &root;
    for (size_t i = 0; i + 1 < labels.size(); ++i) {
        TagEntry* member = FindMember(*group, labels[i]);
        if (member == nullptr) {
            TagEntry created;
            created.label = std::string(labels[i]);
            created.kind = TagKind::kGroup;
            created.group = NewGroup(store, false);
            store.AddHost(created.group);
            group->entries.push_back(std::move(created));
            member = &group->entries.back();
        }
        if (member->group == nullptr) {
            throw HostFailure("Tag \"" + std::string(labels[i]) + "\" is not a tag group.");
        }
        group = member->group;
    }
    return *group;
}

TagEntry CopyEntry(ObjectStore& store, const TagEntry& source) {
    TagEntry copy = source;
    if (source.group != nullptr) {
        copy.group = CopyGroup(store, *source.group);
        store.AddHost(copy.group);
    }
    return copy;
}

TagEntry EntryFromValue(ObjectStore& store, const TagValue& value) {
    TagEntry entry;
    entry.label = value.label;
    entry.kind = value.kind;
    entry.longValue = value.longValue;
    entry.doubleValue = value.doubleValue;
    entry.text = value.text;
    if (value.kind == TagKind::kGroup || value.kind == TagKind::kList) {
        entry.group = NewGroup(store, value.kind == TagKind::kList);
        store.AddHost(entry.group);
        AddMembers(store, *entry.group, value.members);
    }
    return entry;
}

}  // namespace

TagGroupObject* NewGroup(ObjectStore& store, bool list) {
    return store.Adopt(std::make_unique<TagGroupObject>(list));
}

const TagEntry* FindTag(const TagGroupObject& root, std::string_view path) {
    if (path.empty())
        return nullptr;
    const TagGroupObject* group = &root;
    const TagEntry* member = nullptr;
    size_t start = 0;
    while (true) {
        if (group == nullptr)
            return nullptr;
        const size_t colon = path.find(':', start);
        const std::string_view label = path.substr(start, colon - start);
        member = FindMember(const_cast<TagGroupObject&>(*group), label);
        if (member == nullptr || colon == std::string_view::npos)
            return member;
        group = member->group;
        start = colon + 1;
    }
}

void SetTag(ObjectStore& store, TagGroupObject& root, std::string_view path, TagEntry value) {
    const std::vector<std::string_view> labels = SplitPath(path);
    TagGroupObject& parent = WalkToParent(store, root, labels);
    RefuseCycle(&parent, value.group);
    value.label = std::string(labels.back());
    if (value.group != nullptr)
        store.AddHost(value.group);
    TagEntry* member = FindMember(parent, value.label);
    if (member == nullptr) {
        parent.entries.push_back(std::move(value));
        return;
    }
    TagGroupObject* oldGroup = member->group;
    *member = std::move(value);
    if (oldGroup != nullptr)
        store.ReleaseHost(oldGroup);
}

void InsertTagGroup(ObjectStore& store, TagGroupObject& container, int32_t index,
                    TagGroupObject* group) {
    if (index < 0)
        throw HostFailure("Invalid tag index " + std::to_string(index) + ".");
    RefuseCycle(&container, group);
    TagEntry entry;
    entry.kind = group->isList ? TagKind::kList : TagKind::kGroup;
    entry.group = group;
    store.AddHost(group);
    const size_t at = std::min(static_cast<size_t>(index), container.entries.size());
    container.entries.insert(container.entries.begin() + static_cast<std::ptrdiff_t>(at),
                             std::move(entry));
}

void CopyTags(ObjectStore& store, TagGroupObject& destination, const TagGroupObject& source) {
    RefuseCycle(&destination, &source);
    for (const TagEntry& entry : source.entries) {
        TagEntry copy = CopyEntry(store, entry);
        TagEntry* member = entry.label.empty() ? nullptr : FindMember(destination, entry.label);
        if (member == nullptr) {
            destination.entries.push_back(std::move(copy));
            continue;
        }
        TagGroupObject* oldGroup = member->group;
        *member = std::move(copy);
        if (oldGroup != nullptr)
            store.ReleaseHost(oldGroup);
    }
}

TagGroupObject* CopyGroup(ObjectStore& store, const TagGroupObject& source) {
    TagGroupObject* copy = NewGroup(store, source.isList);
    for (const TagEntry& entry : source.entries)
        copy->entries.push_back(CopyEntry(store, entry));
    return copy;
}

void AddMembers(ObjectStore& store, TagGroupObject& group, const std::vector<TagValue>& members) {
    for (const TagValue& value : members)
        group.entries.push_back(EntryFromValue(store, value));
}

TagValue ToTagValue(const TagGroupObject& group, std::string label) {
    TagValue value =
        group.isList ? TagValue::List(std::move(label)) : TagValue::Group(std::move(label));
    for (const TagEntry& entry : group.entries) {
        if (entry.group != nullptr) {
            value.members.push_back(ToTagValue(*entry.group, entry.label));
            continue;
        }
        TagValue leaf;
        leaf.kind = entry.kind;
        leaf.label = entry.label;
        leaf.longValue = entry.longValue;
        leaf.doubleValue = entry.doubleValue;
        leaf.text = entry.text;
        value.members.push_back(std::move(leaf));
    }
    return value;
}

}  // namespace dmhost
