// The three interface tables the module calls, at the host's positions. Each entry finds
// its HostState through the object it is given and never lets an exception escape.
#include <string>

#include "host/HostState.h"

namespace dmhost {
namespace {

HostState& HostOf(HostInterface* self) {
    return *reinterpret_cast<HostInterfaceObject*>(self)->host;
}

// The context's host, or null (with an audit error) when the context was released.
HostState* HostOf(HostContext* self, const char* operation) {
    auto* context = reinterpret_cast<ContextObject*>(self);
    if (context->released) {
        context->host->AuditError(std::string(operation) + ": called on a released context");
        return nullptr;
    }
    return context->host;
}

ClassInterfaceObject& ClassOf(ClassInterface* self) {
    return *reinterpret_cast<ClassInterfaceObject*>(self);
}

// ---- HostInterface ----

void DM_CDECL AddReference(HostInterface* self) {
    ++HostOf(self).interfaceReferences;
}

void DM_CDECL Release(HostInterface* self) {
    HostState& host = HostOf(self);
    if (host.interfaceReferences <= 0) {
        host.AuditError("HostInterface Release: more releases than references");
        return;
    }
    --host.interfaceReferences;
}

uint32_t DM_CDECL GetVersion(HostInterface* self) {
    return HostOf(self).version;
}

HostContext* DM_CDECL GetContext(HostInterface* self) {
    return HostOf(self).NewContext();
}

ClassInterface* DM_CDECL GetClass(HostInterface* self, int32_t, const char* name) {
    if (name == nullptr)
        return nullptr;
    return HostOf(self).NewClassInterface(name);
}

DM_Object DM_CDECL InstallFunction(HostInterface* self, int32_t, int32_t, const char* signature,
                                   uint32_t flags, DM_EntryPoint entry) {
    HostState& host = HostOf(self);
    try {
        if (signature == nullptr || entry == nullptr) {
            throw HostFailure("InstallFunction: a signature and an entry point are needed.");
        }
        return ToHandle(host.Install(signature, flags, entry));
    } catch (const HostFailure& failure) {
        host.Fail(failure);
    } catch (const std::exception& error) {
        host.Fail(HostFailure(std::string("InstallFunction: ") + error.what()));
    }
    return nullptr;
}

void DM_CDECL UninstallFunction(HostInterface* self, DM_Object function) {
    HostState& host = HostOf(self);
    auto* object =
        host.ResolveAs<FunctionObject>(function, ObjectClass::kFunction, "UninstallFunction");
    if (object != nullptr)
        host.Uninstall(object);
}

DM_Object DM_CDECL LookUpFunction(HostInterface* self, int32_t, const char* signature) {
    if (signature == nullptr)
        return nullptr;
    return ToHandle(HostOf(self).LookUp(signature));
}

// ---- HostContext ----

void DM_CDECL ReleaseContext(HostContext* self) {
    auto* context = reinterpret_cast<ContextObject*>(self);
    context->host->ReleaseContext(*context);
}

void DM_CDECL ClearException(HostContext* self) {
    if (HostState* host = HostOf(self, "ClearException"))
        host->SetPending(nullptr);
}

DM_Object DM_CDECL MakeThrowable(HostContext* self, int32_t code, DM_ErrorDetail detail) {
    HostState* host = HostOf(self, "MakeThrowable");
    if (host == nullptr)
        return nullptr;
    ThrowableObject* throwable = host->NewThrowable(code, detail);
    host->store().AddExternal(throwable);
    return ToHandle(throwable);
}

DM_Object DM_CDECL GetThrowableMessage(HostContext* self, DM_Object handle) {
    HostState* host = HostOf(self, "GetThrowableMessage");
    if (host == nullptr)
        return nullptr;
    auto* throwable =
        host->ResolveAs<ThrowableObject>(handle, ObjectClass::kThrowable, "GetThrowableMessage");
    if (throwable == nullptr)
        return nullptr;
    StringObject* message = host->NewString(throwable->message);
    host->store().AddExternal(message);
    return ToHandle(message);
}

DM_Object DM_CDECL TakeException(HostContext* self) {
    HostState* host = HostOf(self, "TakeException");
    if (host == nullptr || host->pending() == nullptr)
        return nullptr;
    ThrowableObject* throwable = host->pending();
    host->store().AddExternal(throwable);
    host->SetPending(nullptr);
    return ToHandle(throwable);
}

void DM_CDECL SetException(HostContext* self, DM_Object handle) {
    HostState* host = HostOf(self, "SetException");
    if (host == nullptr)
        return;
    auto* throwable =
        host->ResolveAs<ThrowableObject>(handle, ObjectClass::kThrowable, "SetException");
    if (throwable != nullptr || handle == nullptr)
        host->SetPending(throwable);
}

DM_Object DM_CDECL NewString(HostContext* self, int32_t encoding, const char* chars,
                             uint32_t count) {
    HostState* host = HostOf(self, "NewString");
    if (host == nullptr)
        return nullptr;
    if (encoding != 0)
        host->AuditError("NewString: encoding " + std::to_string(encoding));
    if (chars == nullptr && count > 0) {
        host->AuditError("NewString: no characters given for a count of " + std::to_string(count));
        return nullptr;
    }
    StringObject* string = host->NewString(count == 0 ? std::string() : std::string(chars, count));
    host->store().AddExternal(string);
    return ToHandle(string);
}

const char* DM_CDECL LockString(HostContext* self, DM_Object handle, int32_t encoding,
                                uint32_t* length, uint32_t* token) {
    HostState* host = HostOf(self, "LockString");
    if (host == nullptr)
        return nullptr;
    if (encoding != 0)
        host->AuditError("LockString: encoding " + std::to_string(encoding));
    auto* string = host->ResolveAs<StringObject>(handle, ObjectClass::kString, "LockString");
    if (string == nullptr || length == nullptr || token == nullptr)
        return nullptr;
    *length = static_cast<uint32_t>(string->text.size());
    *token = host->LockString(*string);
    return string->text.data();
}

void DM_CDECL UnlockString(HostContext* self, DM_Object handle, uint32_t token) {
    HostState* host = HostOf(self, "UnlockString");
    if (host == nullptr)
        return;
    auto* string = host->ResolveAs<StringObject>(handle, ObjectClass::kString, "UnlockString");
    if (string != nullptr)
        host->UnlockString(*string, token);
}

int32_t DM_CDECL CallFunction(HostContext* self, DM_Object handle, int32_t count,
                              ArgumentCell* cells) {
    HostState* host = HostOf(self, "CallFunction");
    if (host == nullptr)
        return 1;
    auto* function =
        host->ResolveAs<FunctionObject>(handle, ObjectClass::kFunction, "CallFunction");
    if (function == nullptr && handle != nullptr) {
        host->Fail(HostFailure("CallFunction: the handle is not a function."));
        return 1;
    }
    return host->Call(function, count, cells);
}

// ---- ClassInterface ----

void DM_CDECL ReleaseClass(ClassInterface* self) {
    ClassInterfaceObject& object = ClassOf(self);
    if (object.references <= 0) {
        object.host->AuditError("ReleaseClass " + object.name + ": more releases than references");
        return;
    }
    --object.references;
}

// The object behind a handle if it belongs to this class; audit errors otherwise. Texts
// are made only for an error: the module takes and gives back references in destructors,
// and the host's own reference operations never fail, so these must not allocate.
HostObject* Member(ClassInterfaceObject& self, DM_Object handle, const char* operation) {
    if (handle == nullptr)
        return nullptr;
    HostObject* object = self.host->store().Find(handle);
    if (object != nullptr && self.objectClass && *self.objectClass == object->objectClass)
        return object;
    const std::string what = std::string(operation) + " (" + self.name + ")";
    if (object == nullptr)
        self.host->AuditError(what + ": not a live host object");
    else
        self.host->AuditError(what + ": given a " + ObjectClassName(object->objectClass));
    return nullptr;
}

void DM_CDECL AddObjectReference(ClassInterface* self, DM_Object handle) {
    ClassInterfaceObject& object = ClassOf(self);
    if (HostObject* member = Member(object, handle, "AddObjectReference")) {
        object.host->store().AddExternal(member);
    }
}

void DM_CDECL ReleaseObject(ClassInterface* self, DM_Object handle) {
    ClassInterfaceObject& object = ClassOf(self);
    if (HostObject* member = Member(object, handle, "ReleaseObject")) {
        object.host->store().ReleaseExternal(member, "ReleaseObject");
    }
}

uint8_t DM_CDECL IsValid(ClassInterface* self, DM_Object handle) {
    if (handle == nullptr)
        return 0;
    HostObject* member = Member(ClassOf(self), handle, "IsValid");
    if (member == nullptr)
        return 0;
    const auto* image = dynamic_cast<const ImageObject*>(member);
    return image == nullptr || image->valid ? 1 : 0;
}

uint8_t DM_CDECL IsSameObject(ClassInterface*, DM_Object first, DM_Object second) {
    return first == second ? 1 : 0;
}

}  // namespace

// Positions as the host has them; unused positions stay empty.
const HostInterfaceTable kHostInterfaceTable = {
    AddReference,       // 0
    Release,            // 1
    GetVersion,         // 2
    GetContext,         // 3
    GetClass,           // 4
    nullptr,            // 5
    InstallFunction,    // 6
    UninstallFunction,  // 7
    LookUpFunction,     // 8
};

const HostContextTable kHostContextTable = {
    nullptr,              // 0
    ReleaseContext,       // 1
    nullptr,              // 2
    nullptr,              // 3
    ClearException,       // 4
    MakeThrowable,        // 5
    GetThrowableMessage,  // 6
    TakeException,        // 7
    SetException,         // 8
    NewString,            // 9
    LockString,           // 10
    UnlockString,         // 11
    CallFunction,         // 12
};

const ClassInterfaceTable kClassInterfaceTable = {
    nullptr,             // 0
    ReleaseClass,        // 1
    nullptr,             // 2
    nullptr,             // 3
    nullptr,             // 4
    nullptr,             // 5
    AddObjectReference,  // 6
    ReleaseObject,       // 7
    nullptr,             // 8
    IsValid,             // 9
    nullptr,             // 10
    IsSameObject,        // 11
};

}  // namespace dmhost
