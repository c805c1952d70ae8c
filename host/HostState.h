// HostState: everything the stand-in host keeps, behind StandInHost and the interface
// tables. Internal to host/.
//
// The three interface objects are C structs whose first member is the table pointer; the
// host's own data follows, so a table entry finds its host from the object it is given.
// Contexts are never freed while the host lives: a released context is marked and kept,
// so a module that uses one after releasing it is noticed (an audit error) rather than
// crashing; released contexts are handed out again by later GetContext calls.
#ifndef XRAY_HOST_HOSTSTATE_H
#define XRAY_HOST_HOSTSTATE_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/HostFailure.h"
#include "host/HostObjects.h"

namespace dmhost {

class HostState;

struct HostInterfaceObject {
    HostInterface base;
    HostState* host;
};

struct ContextObject {
    HostContext base;
    HostState* host;
    bool released;
};

struct ClassInterfaceObject {
    ClassInterface base;
    HostState* host;
    std::string name;
    std::optional<ObjectClass> objectClass;  // empty for classes the host keeps no objects of
    int32_t references;
};

// One granted ImageLockData, until ImageUnlockData. Its address is the lock pointer.
struct ImageLock {
    ImageObject* image;  // one host reference
};

struct InjectedFailure {
    int32_t code;
    std::string message;
};

// The host's own functions, listed in ServiceFunctions.cpp.
struct BuiltinFunction {
    const char* signature;
    BuiltinImplementation implementation;
};
const std::vector<BuiltinFunction>& BuiltinFunctions();

class HostState {
  public:
    explicit HostState(uint32_t version);
    ~HostState();

    ObjectStore& store() { return fStore; }
    const ObjectStore& store() const { return fStore; }
    void AuditError(std::string message) { auditErrors.push_back(std::move(message)); }

    // -- interface objects --
    HostInterface* Interface() { return &fInterface.base; }
    HostContext* NewContext();
    void ReleaseContext(ContextObject& context);
    ClassInterface* NewClassInterface(std::string_view name);

    // -- objects --
    ImageObject* NewImage(std::string name, uint32_t dataType, std::vector<uint32_t> dimensions);
    // The same with the given elements, which must be exactly the image's size.
    ImageObject* NewImage(std::string name, uint32_t dataType, std::vector<uint32_t> dimensions,
                          ElementBuffer data);
    StringObject* NewString(std::string text);
    ThrowableObject* NewThrowable(int32_t code, DM_ErrorDetail detail);
    ThrowableObject* NewThrowableWithMessage(int32_t code, std::string message);
    // The live object behind a handle, as `expected`; records an audit error and returns
    // null for an unknown object or one of another class.
    HostObject* Resolve(DM_Object handle, const char* what);
    template <class T>
    T* ResolveAs(DM_Object handle, ObjectClass expected, const char* what) {
        HostObject* object = Resolve(handle, what);
        if (object == nullptr)
            return nullptr;
        if (object->objectClass != expected) {
            AuditError(std::string(what) + ": expected a " + ObjectClassName(expected) +
                       ", got a " + ObjectClassName(object->objectClass));
            return nullptr;
        }
        return static_cast<T*>(object);
    }

    // -- pending exception --
    void SetPending(ThrowableObject* throwable);  // takes a host reference; null clears
    ThrowableObject* pending() const { return fPending; }
    void Fail(const HostFailure& failure);

    // -- functions --
    FunctionObject* LookUp(std::string_view signature);  // carries one reference, or null
    FunctionObject* Install(const char* signature, uint32_t flags, DM_EntryPoint entry);
    void Uninstall(FunctionObject* function);
    int32_t Call(FunctionObject* function, int32_t count, ArgumentCell* cells);
    const std::vector<FunctionObject*>& installed() const { return fInstalled; }
    const std::vector<std::string>& uninstalled() const { return fUninstalled; }

    // -- script classes --
    ScriptClassObject* FindClass(std::string_view name) const;
    ScriptClassObject* RegisterClass(std::string name);
    void UnregisterClass(std::string_view name);
    const std::vector<ScriptClassObject*>& classes() const { return fClasses; }

    // -- image locks --
    void* Lock(ImageObject& image);
    ImageLock* FindLock(void* lock, const ImageObject& image);
    void Unlock(void* lock);
    void DropLocksOf(const ImageObject& image);
    size_t LockCount() const { return fLocks.size(); }

    // -- string locks --
    uint32_t LockString(StringObject& string);
    void UnlockString(StringObject& string, uint32_t token);
    size_t StringLockCount() const { return fStringLocks.size(); }

    // Public record of what happened; read by StandInHost.
    uint32_t version;
    std::string results;
    std::vector<Alert> alerts;
    std::vector<std::string> callLog;
    std::optional<int32_t> lastSetCalibrationFormat;
    std::optional<int32_t> lastGetCalibrationFormat;
    int32_t interfaceReferences = 0;
    int32_t nextCustomId = 1;
    std::vector<std::string> auditErrors;

    // Fault injection.
    std::map<std::string, int32_t, std::less<>> staleCalls;        // signature -> times
    std::map<std::string, InjectedFailure, std::less<>> failures;  // function name -> failure
    bool refuseNextLock = false;

    std::vector<std::unique_ptr<ContextObject>>& contexts() { return fContexts; }
    const std::map<std::string, std::unique_ptr<ClassInterfaceObject>, std::less<>>&
    classInterfaces() const {
        return fClassInterfaces;
    }

  private:
    int32_t CallBuiltin(FunctionObject& function, int32_t count, ArgumentCell* cells);
    int32_t CallCallback(FunctionObject& function, ArgumentCell* cells);
    bool AnswerStale(FunctionObject& function);
    FunctionObject* NewBuiltin(const BuiltinFunction& builtin);

    ObjectStore fStore;
    HostInterfaceObject fInterface;
    std::vector<std::unique_ptr<ContextObject>> fContexts;
    std::vector<ContextObject*> fFreeContexts;
    std::map<std::string, std::unique_ptr<ClassInterfaceObject>, std::less<>> fClassInterfaces;
    ThrowableObject* fPending = nullptr;
    std::map<std::string, FunctionObject*, std::less<>> fBuiltinCurrent;  // one host ref each
    std::vector<FunctionObject*> fInstalled;                              // one host ref each
    std::vector<std::string> fUninstalled;
    std::vector<ScriptClassObject*> fClasses;  // one host ref each
    std::unordered_map<void*, std::unique_ptr<ImageLock>> fLocks;
    std::unordered_map<uint32_t, StringObject*> fStringLocks;  // one host ref each
    uint32_t fNextStringToken = 1;
};

// Tables, defined in InterfaceTables.cpp.
extern const HostInterfaceTable kHostInterfaceTable;
extern const HostContextTable kHostContextTable;
extern const ClassInterfaceTable kClassInterfaceTable;

// Message of a throwable made from an error pair.
std::string ThrowableMessageFor(int32_t code, DM_ErrorDetail detail);

}  // namespace dmhost

#endif  // XRAY_HOST_HOSTSTATE_H
