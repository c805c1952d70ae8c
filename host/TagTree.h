// Operations on the host's tag groups and lists: colon-separated label paths, setting and
// finding members, inserting list items, deep copies, and conversion to and from TagValue.
//
// A member that holds a group or list holds that object itself (one host reference), so the
// same group may appear in several places; a group may never end up inside itself.
// Failures throw HostFailure with the message the script sees.
#ifndef XRAY_HOST_TAGTREE_H
#define XRAY_HOST_TAGTREE_H

#include <string_view>
#include <vector>

#include "host/HostObjects.h"

namespace dmhost {

TagGroupObject* NewGroup(ObjectStore& store, bool list);

// The member at `path` (labels joined by colons), or null.
const TagEntry* FindTag(const TagGroupObject& root, std::string_view path);

// Creates or overwrites the member at `path`, creating missing groups on the way. For kGroup
// and kList values, `value.group` is stored with one new host reference.
void SetTag(ObjectStore& store, TagGroupObject& root, std::string_view path, TagEntry value);

// Inserts `group` as an unlabelled member before position `index`; an index past the end
// appends. Negative indices are refused.
void InsertTagGroup(ObjectStore& store, TagGroupObject& container, int32_t index,
                    TagGroupObject* group);

// Copies every member of `source` into `destination` as a deep copy: labelled members
// replace members of the same label, the others are appended.
void CopyTags(ObjectStore& store, TagGroupObject& destination, const TagGroupObject& source);

// A deep copy of a whole group or list, with no references yet.
TagGroupObject* CopyGroup(ObjectStore& store, const TagGroupObject& source);

// Conversions for the C++ API.
void AddMembers(ObjectStore& store, TagGroupObject& group, const std::vector<TagValue>& members);
TagValue ToTagValue(const TagGroupObject& group, std::string label);

}  // namespace dmhost

#endif  // XRAY_HOST_TAGTREE_H
