#include "host/HostState.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "host/CellFrame.h"
#include "host/ScriptCaller.h"
#include "host/TagTree.h"

namespace dmhost {
namespace {

constexpr std::pair<const char*, int> kClassNames[] = {
    {"Gatan:DigitalMicrograph:Image", static_cast<int>(ObjectClass::kImage)},
    {"Gatan:DigitalMicrograph:RegionOfInterest", -1},
    {"Gatan:DigitalMicrograph:Component", -1},
    {"Gatan:DigitalMicrograph:ImageDisplay", -1},
    {"Gatan:DigitalMicrograph:LinePlotImageDisplay", -1},
    {"Gatan:DigitalMicrograph:RasterImageDisplay", -1},
    {"Gatan:DigitalMicrograph:SurfacePlotImageDisplay", -1},
    {"Gatan:DigitalMicrograph:ImageDocument", -1},
    {"Gatan:DigitalMicrograph:TagGroup", static_cast<int>(ObjectClass::kTagGroup)},
    {"Gatan:DigitalMicrograph:Window", -1},
    {"Gatan:DigitalMicrograph:String", static_cast<int>(ObjectClass::kString)},
    {"Gatan:DigitalMicrograph:ScriptObject", -1},
    {"Gatan:DigitalMicrograph:Throwable", static_cast<int>(ObjectClass::kThrowable)},
    {"Gatan:DigitalMicrograph:Function", static_cast<int>(ObjectClass::kFunction)},
    {"Gatan:DigitalMicrograph:ScriptClass", static_cast<int>(ObjectClass::kScriptClass)},
};

// Longest message text read from an error detail address.
constexpr size_t kMaxDetailText = 65536;

}  // namespace

std::string ThrowableMessageFor(int32_t code, DM_ErrorDetail detail) {
    if ((code == DM_ERROR_MESSAGE || code == DM_ERROR_PLUGIN_MESSAGE) && detail != 0) {
        const char* text = reinterpret_cast<const char*>(detail);
        size_t length = 0;
        while (length < kMaxDetailText && text[length] != '\0')
            ++length;
        return std::string(text, length);
    }
    if (code == DM_ERROR_PLUGIN_MESSAGE)
        return "An unspecified error has occurred.";
    return "An error (" + std::to_string(code) + "," + std::to_string(detail) + ") has occurred.";
}

HostState::HostState(uint32_t hostVersion)
    : version(hostVersion),
      fStore([this](std::string message) { AuditError(std::move(message)); }),
      fInterface{{&kHostInterfaceTable}, this} {
    for (const auto& [name, objectClass] : kClassNames) {
        auto entry = std::make_unique<ClassInterfaceObject>(
            ClassInterfaceObject{{&kClassInterfaceTable}, this, name, std::nullopt, 0});
        if (objectClass >= 0)
            entry->objectClass = static_cast<ObjectClass>(objectClass);
        fClassInterfaces.emplace(name, std::move(entry));
    }
    for (const BuiltinFunction& builtin : BuiltinFunctions())
        NewBuiltin(builtin);
}

HostState::~HostState() = default;

HostContext* HostState::NewContext() {
    ContextObject* context = nullptr;
    if (!fFreeContexts.empty()) {
        context = fFreeContexts.back();
        fFreeContexts.pop_back();
        context->released = false;
    } else {
        fContexts.push_back(
            std::make_unique<ContextObject>(ContextObject{{&kHostContextTable}, this, false}));
        context = fContexts.back().get();
    }
    return &context->base;
}

void HostState::ReleaseContext(ContextObject& context) {
    if (context.released) {
        AuditError("HostContext Release: the context was already released");
        return;
    }
    context.released = true;
    fFreeContexts.push_back(&context);
}

ClassInterface* HostState::NewClassInterface(std::string_view name) {
    auto found = fClassInterfaces.find(name);
    if (found == fClassInterfaces.end())
        return nullptr;
    ++found->second->references;
    return &found->second->base;
}

ImageObject* HostState::NewImage(std::string name, uint32_t dataType,
                                 std::vector<uint32_t> dimensions) {
    uint64_t count = dimensions.empty() ? 0 : 1;
    for (const uint32_t size : dimensions)
        count *= size;
    return NewImage(std::move(name), dataType, std::move(dimensions),
                    ElementBuffer::Zeroed(count * DataTypeSize(dataType)));
}

ImageObject* HostState::NewImage(std::string name, uint32_t dataType,
                                 std::vector<uint32_t> dimensions, ElementBuffer data) {
    auto image = std::make_unique<ImageObject>();
    image->name = std::move(name);
    image->dataType = dataType;
    image->dimensions = std::move(dimensions);
    image->calibrations.resize(image->dimensions.size());
    if (data.size() != image->ElementCount() * DataTypeSize(dataType))
        throw std::logic_error("NewImage: the elements do not fit the image's size.");
    image->data = std::move(data);
    ImageObject* raw = fStore.Adopt(std::move(image));
    raw->tags = NewGroup(fStore, false);
    fStore.AddHost(raw->tags);
    return raw;
}

StringObject* HostState::NewString(std::string text) {
    return fStore.Adopt(std::make_unique<StringObject>(std::move(text)));
}

ThrowableObject* HostState::NewThrowable(int32_t code, DM_ErrorDetail detail) {
    ThrowableObject* throwable = NewThrowableWithMessage(code, ThrowableMessageFor(code, detail));
    throwable->detail = detail;
    return throwable;
}

ThrowableObject* HostState::NewThrowableWithMessage(int32_t code, std::string message) {
    auto throwable = std::make_unique<ThrowableObject>();
    throwable->code = code;
    throwable->message = std::move(message);
    return fStore.Adopt(std::move(throwable));
}

HostObject* HostState::Resolve(DM_Object handle, const char* what) {
    if (handle == nullptr)
        return nullptr;
    HostObject* object = fStore.Find(handle);
    if (object == nullptr)
        AuditError(std::string(what) + ": not a live host object");
    return object;
}

void HostState::SetPending(ThrowableObject* throwable) {
    ThrowableObject* old = fPending;
    if (throwable != nullptr)
        fStore.AddHost(throwable);
    fPending = throwable;
    if (old != nullptr)
        fStore.ReleaseHost(old);
}

void HostState::Fail(const HostFailure& failure) {
    SetPending(NewThrowableWithMessage(failure.code(), failure.what()));
}

FunctionObject* HostState::NewBuiltin(const BuiltinFunction& builtin) {
    auto function = std::make_unique<FunctionObject>();
    function->signatureText = builtin.signature;
    function->signature = ParseSignature(builtin.signature);
    function->builtin = builtin.implementation;
    FunctionObject* raw = fStore.Adopt(std::move(function));
    fStore.AddHost(raw);
    fBuiltinCurrent[builtin.signature] = raw;
    return raw;
}

FunctionObject* HostState::LookUp(std::string_view signature) {
    auto current = fBuiltinCurrent.find(signature);
    FunctionObject* found = current == fBuiltinCurrent.end() ? nullptr : current->second;
    if (found == nullptr) {
        for (FunctionObject* function : fInstalled) {
            if (function->signatureText == signature)
                found = function;
        }
    }
    if (found != nullptr)
        fStore.AddExternal(found);
    return found;
}

FunctionObject* HostState::Install(const char* signature, uint32_t flags, DM_EntryPoint entry) {
    auto function = std::make_unique<FunctionObject>();
    function->signatureText = signature;
    function->signature = ParseSignature(signature);
    if (flags != DM_FUNCTION_PLAIN && flags != DM_FUNCTION_CELLS) {
        throw HostFailure("InstallFunction: flags " + std::to_string(flags) +
                          " are not supported (3 or 4).");
    }
    if (flags == DM_FUNCTION_PLAIN && !HasCallShape(function->signature)) {
        throw HostFailure("InstallFunction: the stand-in host has no call shape " +
                          function->signature.ShapeKey() + " for \"" + signature + "\".");
    }
    function->flags = flags;
    function->entry = entry;
    FunctionObject* raw = fStore.Adopt(std::move(function));
    fStore.AddHost(raw);
    fInstalled.push_back(raw);
    fStore.AddExternal(raw);
    return raw;
}

void HostState::Uninstall(FunctionObject* function) {
    for (auto it = fInstalled.begin(); it != fInstalled.end(); ++it) {
        if (*it != function)
            continue;
        fInstalled.erase(it);
        fUninstalled.push_back(function->signatureText);
        fStore.ReleaseHost(function);
        return;
    }
    AuditError("UninstallFunction: \"" + function->signatureText + "\" is not installed");
}

bool HostState::AnswerStale(FunctionObject& function) {
    if (!function.stale) {
        auto times = staleCalls.find(function.signatureText);
        if (times == staleCalls.end() || times->second <= 0)
            return false;
        if (--times->second == 0)
            staleCalls.erase(times);
        function.stale = true;
        auto current = fBuiltinCurrent.find(function.signatureText);
        if (current != fBuiltinCurrent.end() && current->second == &function) {
            // The host moves on to a fresh handle at once, so only the stale one's holders
            // keep it alive.
            NewBuiltin(BuiltinFunction{current->first.c_str(), function.builtin});
            fStore.ReleaseHost(&function);
        }
    }
    SetPending(
        NewThrowableWithMessage(kHostFailureCode, "The function handle is no longer valid."));
    return true;
}

int32_t HostState::Call(FunctionObject* function, int32_t count, ArgumentCell* cells) {
    if (function == nullptr) {
        Fail(HostFailure("CallFunction: no function given."));
        return 1;
    }
    if (AnswerStale(*function))
        return DM_CALL_STALE_FUNCTION;
    callLog.push_back(function->signature.name);
    auto injected = failures.find(function->signature.name);
    if (injected != failures.end()) {
        HostFailure failure(injected->second.message, injected->second.code);
        failures.erase(injected);
        Fail(failure);
        return 1;
    }
    if (function->builtin != nullptr)
        return CallBuiltin(*function, count, cells);
    if (function->flags == DM_FUNCTION_CELLS)
        return CallCallback(*function, cells);
    Fail(HostFailure("CallFunction: \"" + function->signatureText +
                     "\" is a script function and is called by scripts, not through cells."));
    return 1;
}

int32_t HostState::CallBuiltin(FunctionObject& function, int32_t count, ArgumentCell* cells) {
    try {
        CellFrame frame(*this, function.signature, cells, count);
        function.builtin(*this, frame);
        return DM_CALL_OK;
    } catch (const HostFailure& failure) {
        Fail(failure);
    } catch (const std::bad_alloc&) {
        Fail(HostFailure("Out of memory."));
    }
    return 1;
}

int32_t HostState::CallCallback(FunctionObject& function, ArgumentCell* cells) {
    ThrowableObject* before = fPending;
    HostContext* context = NewContext();
    reinterpret_cast<DM_CellsEntryPoint>(function.entry)(context, nullptr, cells);
    context->table->Release(context);
    return fPending != nullptr && fPending != before ? 1 : DM_CALL_OK;
}

ScriptClassObject* HostState::FindClass(std::string_view name) const {
    for (ScriptClassObject* scriptClass : fClasses) {
        if (scriptClass->name == name)
            return scriptClass;
    }
    return nullptr;
}

ScriptClassObject* HostState::RegisterClass(std::string name) {
    if (FindClass(name) != nullptr) {
        throw HostFailure("A script class named \"" + name + "\" is already registered.");
    }
    auto scriptClass = std::make_unique<ScriptClassObject>();
    scriptClass->name = std::move(name);
    ScriptClassObject* raw = fStore.Adopt(std::move(scriptClass));
    fStore.AddHost(raw);
    fClasses.push_back(raw);
    return raw;
}

void HostState::UnregisterClass(std::string_view name) {
    for (auto it = fClasses.begin(); it != fClasses.end(); ++it) {
        if ((*it)->name != name)
            continue;
        ScriptClassObject* scriptClass = *it;
        fClasses.erase(it);
        fStore.ReleaseHost(scriptClass);
        return;
    }
}

void* HostState::Lock(ImageObject& image) {
    auto lock = std::make_unique<ImageLock>(ImageLock{&image});
    void* address = lock.get();
    fStore.AddHost(&image);
    fLocks.emplace(address, std::move(lock));
    ++image.lockCount;
    return address;
}

ImageLock* HostState::FindLock(void* lock, const ImageObject& image) {
    auto found = fLocks.find(lock);
    if (found == fLocks.end() || found->second->image != &image) {
        throw HostFailure("The lock pointer does not belong to this image.");
    }
    return found->second.get();
}

void HostState::Unlock(void* lock) {
    auto found = fLocks.find(lock);
    ImageObject* image = found->second->image;
    fLocks.erase(found);
    --image->lockCount;
    fStore.ReleaseHost(image);
}

void HostState::DropLocksOf(const ImageObject& image) {
    for (auto it = fLocks.begin(); it != fLocks.end();) {
        if (it->second->image != &image) {
            ++it;
            continue;
        }
        ImageObject* held = it->second->image;
        it = fLocks.erase(it);
        fStore.ReleaseHost(held);
    }
}

uint32_t HostState::LockString(StringObject& string) {
    const uint32_t token = fNextStringToken++;
    fStore.AddHost(&string);
    fStringLocks.emplace(token, &string);
    return token;
}

void HostState::UnlockString(StringObject& string, uint32_t token) {
    auto found = fStringLocks.find(token);
    if (found == fStringLocks.end() || found->second != &string) {
        AuditError("UnlockString: the token does not belong to this string");
        return;
    }
    fStringLocks.erase(found);
    fStore.ReleaseHost(&string);
}

}  // namespace dmhost
