// Host objects and the store that owns them.
//
// Every object lives in the ObjectStore from creation until its last reference is given
// back. An object's `references` counts all references; `hostReferences` counts the ones
// the host's own structures hold (an image's tag group, a group's members, the pending
// exception, installed functions, registered classes, locks in progress). The difference
// is what the module, tests and scripts hold, which is what the audit reports.
//
// A DM_Object crossing the interface is the address of a HostObject. Find() accepts only
// live objects, so a released or made-up handle is noticed instead of dereferenced.
#ifndef XRAY_HOST_HOSTOBJECTS_H
#define XRAY_HOST_HOSTOBJECTS_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/ElementBuffer.h"
#include "host/Signature.h"
#include "host/StandInHost.h"

namespace dmhost {

struct HostObject {
    explicit HostObject(ObjectClass c) : objectClass(c) {}
    virtual ~HostObject() = default;
    ObjectClass objectClass;
    int32_t references = 0;
    int32_t hostReferences = 0;
};

struct TagGroupObject;

// One member of a tag group or list. `group` is set for kGroup and kList members and
// carries one host reference.
struct TagEntry {
    std::string label;
    TagKind kind = TagKind::kLong;
    int32_t longValue = 0;
    double doubleValue = 0.0;
    std::string text;
    TagGroupObject* group = nullptr;
};

struct TagGroupObject : HostObject {
    explicit TagGroupObject(bool list) : HostObject(ObjectClass::kTagGroup), isList(list) {}
    bool isList;
    std::vector<TagEntry> entries;
};

struct ImageObject : HostObject {
    ImageObject() : HostObject(ObjectClass::kImage) {}
    std::string name;
    uint32_t dataType = kReal8Data;
    std::vector<uint32_t> dimensions;
    ElementBuffer data;
    std::vector<DimensionCalibration> calibrations;  // one per dimension
    std::string intensityUnit;
    TagGroupObject* tags = nullptr;  // one host reference
    int32_t lockCount = 0;
    int32_t dataChangedCount = 0;
    bool valid = true;
    bool invalidateWhenLocked = false;
    uint32_t reportedDimensions = 0;  // 0: report the real count

    uint64_t ElementCount() const;
};

struct StringObject : HostObject {
    explicit StringObject(std::string t) : HostObject(ObjectClass::kString), text(std::move(t)) {}
    std::string text;
};

struct ThrowableObject : HostObject {
    ThrowableObject() : HostObject(ObjectClass::kThrowable) {}
    int32_t code = 0;
    DM_ErrorDetail detail = 0;
    std::string message;
};

class HostState;
class CellFrame;
using BuiltinImplementation = void (*)(HostState&, CellFrame&);

struct FunctionObject : HostObject {
    FunctionObject() : HostObject(ObjectClass::kFunction) {}
    std::string signatureText;
    Signature signature;
    uint32_t flags = 0;
    DM_EntryPoint entry = nullptr;            // module functions
    BuiltinImplementation builtin = nullptr;  // host functions
    bool stale = false;
};

struct ScriptClassObject : HostObject {
    ScriptClassObject() : HostObject(ObjectClass::kScriptClass) {}
    std::string name;
    std::vector<FunctionObject*> methods;  // one host reference each
};

class ObjectStore {
  public:
    using ErrorSink = std::function<void(std::string)>;
    explicit ObjectStore(ErrorSink errors) : fErrors(std::move(errors)) {}
    ~ObjectStore();

    // Adds a new object with no references; the caller gives it one at once.
    template <class T>
    T* Adopt(std::unique_ptr<T> object) {
        T* raw = object.get();
        fObjects.emplace(raw, std::move(object));
        return raw;
    }

    // The live object behind a handle, or null.
    HostObject* Find(const void* handle) const;

    void AddExternal(HostObject* object) { ++object->references; }
    // Gives back a reference held outside the host; `what` names the caller for errors.
    void ReleaseExternal(HostObject* object, const char* what);
    void AddHost(HostObject* object);
    void ReleaseHost(HostObject* object);
    // Turns a host reference into one the caller owns (TakeException).
    void HandOut(HostObject* object) { --object->hostReferences; }

    // Visits every live object.
    void ForEach(const std::function<void(const HostObject&)>& visit) const;

  private:
    void Destroy(HostObject* object);

    ErrorSink fErrors;
    std::unordered_map<const void*, std::unique_ptr<HostObject>> fObjects;
    bool fClosing = false;
};

inline DM_Object ToHandle(HostObject* object) {
    return reinterpret_cast<DM_Object>(object);
}

}  // namespace dmhost

#endif  // XRAY_HOST_HOSTOBJECTS_H
