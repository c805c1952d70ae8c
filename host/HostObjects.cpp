#include "host/HostObjects.h"

namespace dmhost {

uint64_t ImageObject::ElementCount() const {
    uint64_t count = dimensions.empty() ? 0 : 1;
    for (uint32_t size : dimensions)
        count *= size;
    return count;
}

ObjectStore::~ObjectStore() {
    // Whatever is still referenced when the host goes away is simply dropped.
    fClosing = true;
    fObjects.clear();
}

HostObject* ObjectStore::Find(const void* handle) const {
    auto found = fObjects.find(handle);
    return found == fObjects.end() ? nullptr : found->second.get();
}

void ObjectStore::ReleaseExternal(HostObject* object, const char* what) {
    if (object->references <= object->hostReferences) {
        fErrors(std::string(what) + ": a " + ObjectClassName(object->objectClass) +
                " was released more often than it was referenced");
        return;
    }
    if (--object->references == 0)
        Destroy(object);
}

void ObjectStore::AddHost(HostObject* object) {
    ++object->references;
    ++object->hostReferences;
}

void ObjectStore::ReleaseHost(HostObject* object) {
    --object->hostReferences;
    if (--object->references == 0)
        Destroy(object);
}

void ObjectStore::ForEach(const std::function<void(const HostObject&)>& visit) const {
    for (const auto& entry : fObjects)
        visit(*entry.second);
}

void ObjectStore::Destroy(HostObject* object) {
    if (fClosing)
        return;
    auto found = fObjects.find(object);
    std::unique_ptr<HostObject> owned = std::move(found->second);
    fObjects.erase(found);
    // Give back what the dead object held; this may destroy further objects.
    if (auto* image = dynamic_cast<ImageObject*>(object)) {
        if (image->tags != nullptr)
            ReleaseHost(image->tags);
    } else if (auto* group = dynamic_cast<TagGroupObject*>(object)) {
        for (TagEntry& entry : group->entries) {
            if (entry.group != nullptr)
                ReleaseHost(entry.group);
        }
    } else if (auto* scriptClass = dynamic_cast<ScriptClassObject*>(object)) {
        for (FunctionObject* method : scriptClass->methods)
            ReleaseHost(method);
    }
}

}  // namespace dmhost
