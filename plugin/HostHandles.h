// HostHandles: reference-counted handles on host objects, one type per host class.
//
// A handle holds one raw object pointer (null allowed) and, when not null, exactly one
// reference on that object, counted through its class's interface:
// - FromBorrowed takes a reference (arguments the host lends, objects already held);
// - TakeOver takes none (handle results of host calls, which carry one for the caller);
// - a copy takes one; assignment takes the new reference before giving back the old, so
//   self-assignment changes nothing; a move hands the reference over;
// - destruction gives the reference back;
// - Detach hands the pointer and its reference to the caller and leaves the handle empty
//   (only for results returned to the host).
// Handles are used on one thread; nothing here throws.
#ifndef XRAY_PLUGIN_HOSTHANDLES_H
#define XRAY_PLUGIN_HOSTHANDLES_H

#include "interface/DMPlugInInterface.h"
#include "plugin/HostClasses.h"

namespace Gatan {
namespace PlugIn {

template <HostClassId kClass>
class HostHandle {
  public:
    HostHandle() = default;
    static HostHandle FromBorrowed(DM_Object object) {
        AddReference(object);
        return HostHandle(object);
    }
    static HostHandle TakeOver(DM_Object object) { return HostHandle(object); }

    HostHandle(const HostHandle& other) : fObject(other.fObject) { AddReference(fObject); }
    HostHandle(HostHandle&& other) noexcept : fObject(other.Detach()) {}
    HostHandle& operator=(const HostHandle& other) {
        Reset(other.fObject);
        return *this;
    }
    HostHandle& operator=(HostHandle&& other) noexcept {
        if (this != &other) {
            DM_Object previous = fObject;
            fObject = other.Detach();
            Release(previous);
        }
        return *this;
    }
    ~HostHandle() { Release(fObject); }

    // Holds object (borrowed: takes a reference) instead of what it held.
    void Reset(DM_Object object = nullptr) {
        AddReference(object);
        DM_Object previous = fObject;
        fObject = object;
        Release(previous);
    }

    DM_Object Detach() {
        DM_Object object = fObject;
        fObject = nullptr;
        return object;
    }

    DM_Object get() const { return fObject; }
    bool IsNull() const { return fObject == nullptr; }
    explicit operator bool() const { return fObject != nullptr; }

    // The class interface's view: a usable object; the same object as another pointer.
    bool IsValid() const { return Interface()->table->IsValid(Interface(), fObject) != 0; }
    bool IsSameObject(DM_Object other) const {
        return Interface()->table->IsSameObject(Interface(), fObject, other) != 0;
    }

    static ClassInterface* Interface() { return HostClass(kClass); }

  private:
    explicit HostHandle(DM_Object object) : fObject(object) {}

    static void AddReference(DM_Object object) {
        if (object != nullptr)
            Interface()->table->AddObjectReference(Interface(), object);
    }
    static void Release(DM_Object object) {
        if (object != nullptr)
            Interface()->table->ReleaseObject(Interface(), object);
    }

    DM_Object fObject = nullptr;
};

using Image = HostHandle<kImageClass>;
using TagGroup = HostHandle<kTagGroupClass>;
using String = HostHandle<kStringClass>;
using Function = HostHandle<kFunctionClass>;
using Throwable = HostHandle<kThrowableClass>;
using ScriptClass = HostHandle<kScriptClassClass>;

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_HOSTHANDLES_H
