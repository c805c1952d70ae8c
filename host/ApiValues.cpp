// The value types of the stand-in host's C++ API.
#include <sstream>

#include "host/HostState.h"
#include "host/StandInHost.h"

namespace dmhost {

const char* ObjectClassName(ObjectClass objectClass) {
    switch (objectClass) {
        case ObjectClass::kImage:
            return "Image";
        case ObjectClass::kTagGroup:
            return "TagGroup";
        case ObjectClass::kString:
            return "String";
        case ObjectClass::kThrowable:
            return "Throwable";
        case ObjectClass::kFunction:
            return "Function";
        case ObjectClass::kScriptClass:
            return "ScriptClass";
    }
    return "object";
}

// ---- ObjectRef ----

ObjectRef::ObjectRef(ObjectRef&& other) noexcept : fHost(other.fHost), fObject(other.fObject) {
    other.fObject = nullptr;
}

ObjectRef& ObjectRef::operator=(ObjectRef&& other) noexcept {
    if (this != &other) {
        reset();
        fHost = other.fHost;
        fObject = other.fObject;
        other.fObject = nullptr;
    }
    return *this;
}

ObjectRef::~ObjectRef() {
    reset();
}

DM_Object ObjectRef::release() {
    DM_Object object = fObject;
    fObject = nullptr;
    return object;
}

void ObjectRef::reset() {
    if (fObject == nullptr || fHost == nullptr)
        return;
    HostState& state = fHost->state();
    if (HostObject* object = state.Resolve(fObject, "ObjectRef")) {
        state.store().ReleaseExternal(object, "ObjectRef");
    }
    fObject = nullptr;
}

// ---- TagValue ----

TagValue TagValue::Long(std::string label, int32_t value) {
    TagValue tag;
    tag.kind = TagKind::kLong;
    tag.label = std::move(label);
    tag.longValue = value;
    return tag;
}

TagValue TagValue::Double(std::string label, double value) {
    TagValue tag;
    tag.kind = TagKind::kDouble;
    tag.label = std::move(label);
    tag.doubleValue = value;
    return tag;
}

TagValue TagValue::String(std::string label, std::string value) {
    TagValue tag;
    tag.kind = TagKind::kString;
    tag.label = std::move(label);
    tag.text = std::move(value);
    return tag;
}

TagValue TagValue::Group(std::string label, std::vector<TagValue> members) {
    TagValue tag;
    tag.kind = TagKind::kGroup;
    tag.label = std::move(label);
    tag.members = std::move(members);
    return tag;
}

TagValue TagValue::List(std::string label, std::vector<TagValue> items) {
    TagValue tag = Group(std::move(label), std::move(items));
    tag.kind = TagKind::kList;
    return tag;
}

const TagValue* TagValue::Find(std::string_view path) const {
    const TagValue* current = this;
    while (!path.empty()) {
        const size_t colon = path.find(':');
        const std::string_view label = path.substr(0, colon);
        const TagValue* next = nullptr;
        for (const TagValue& member : current->members) {
            if (member.label == label) {
                next = &member;
                break;
            }
        }
        if (next == nullptr)
            return nullptr;
        current = next;
        if (colon == std::string_view::npos)
            return current;
        path.remove_prefix(colon + 1);
    }
    return nullptr;
}

// ---- ScriptValue ----

ScriptValue ScriptValue::Image(DM_Object borrowed) {
    return Object(borrowed);
}

ScriptValue ScriptValue::Object(DM_Object borrowed) {
    ScriptValue value;
    value.kind = Kind::kObject;
    value.object = borrowed;
    return value;
}

ScriptValue ScriptValue::String(std::string text) {
    ScriptValue value;
    value.kind = Kind::kString;
    value.text = std::move(text);
    return value;
}

ScriptValue ScriptValue::Bool(bool flag) {
    ScriptValue value;
    value.kind = Kind::kBool;
    value.flag = flag;
    return value;
}

ScriptValue ScriptValue::Number(double number) {
    ScriptValue value;
    value.kind = Kind::kNumber;
    value.number = number;
    return value;
}

ScriptValue ScriptValue::Output(ObjectRef& variable) {
    ScriptValue value;
    value.kind = Kind::kImageOutput;
    value.output = &variable;
    return value;
}

// ---- AuditSnapshot ----

bool AuditSnapshot::operator==(const AuditSnapshot& other) const {
    return objects == other.objects && references == other.references &&
           interfaceReferences == other.interfaceReferences &&
           classInterfaceReferences == other.classInterfaceReferences &&
           openContexts == other.openContexts && stringLocks == other.stringLocks &&
           imageLocks == other.imageLocks;
}

std::string AuditSnapshot::Describe() const {
    std::ostringstream out;
    for (int c = 0; c < kObjectClassCount; ++c) {
        out << ObjectClassName(static_cast<ObjectClass>(c)) << " " << objects[c] << "/"
            << references[c] << ", ";
    }
    out << "interface refs " << interfaceReferences << ", class interface refs "
        << classInterfaceReferences << ", contexts " << openContexts << ", string locks "
        << stringLocks << ", image locks " << imageLocks;
    return out.str();
}

std::ostream& operator<<(std::ostream& out, const AuditSnapshot& snapshot) {
    return out << "{" << snapshot.Describe() << "} (class live/held)";
}

}  // namespace dmhost
