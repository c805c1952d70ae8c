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
    closing_ = true;
    objects_.clear();
}

HostObject* ObjectStore::Find(const void* handle) const {
    auto found = objects_.find(handle);
    return found == objects_.end() ? nullptr : found->second.get();
}

void ObjectStore::ReleaseExternal(HostObject* object, const char* what) {
    if (object->references <= object->host_references) {
        errors_(std::string(what) + ": a " + ObjectClassName(object->object_class) +
                " was released more often than it was referenced");
        return;
    }
    if (--object->references == 0)
        Destroy(object);
}

void ObjectStore::AddHost(HostObject* object) {
    ++object->references;
    ++object->host_references;
}

void ObjectStore::ReleaseHost(HostObject* object) {
    --object->host_references;
    if (--object->references == 0)
        Destroy(object);
}

void ObjectStore::ForEach(const std::function<void(const HostObject&)>& visit) const {
    for (const auto& entry : objects_)
        visit(*entry.second);
}

void ObjectStore::Destroy(HostObject* object) {
    if (closing_)
        return;
    auto found = objects_.find(object);
    std::unique_ptr<HostObject> owned = std::move(found->second);
    objects_.erase(found);
    // Give back what the dead object held; this may destroy further objects.
    if (auto* image = dynamic_cast<ImageObject*>(object)) {
        if (image->tags != nullptr)
            ReleaseHost(image->tags);
    } else if (auto* group = dynamic_cast<TagGroupObject*>(object)) {
        for (TagEntry& entry : group->entries) {
            if (entry.group != nullptr)
                ReleaseHost(entry.group);
        }
    } else if (auto* script_class = dynamic_cast<ScriptClassObject*>(object)) {
        for (FunctionObject* method : script_class->methods)
            ReleaseHost(method);
    }
}

}  // namespace dmhost
