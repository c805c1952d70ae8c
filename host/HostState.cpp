#include "host/HostState.h"

#include <cstring>
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

HostState::HostState(uint32_t host_version)
    : version(host_version),
      store_([this](std::string message) { AuditError(std::move(message)); }),
      interface_{{&kHostInterfaceTable}, this} {
    for (const auto& [name, object_class] : kClassNames) {
        auto entry = std::make_unique<ClassInterfaceObject>(
            ClassInterfaceObject{{&kClassInterfaceTable}, this, name, std::nullopt, 0});
        if (object_class >= 0)
            entry->object_class = static_cast<ObjectClass>(object_class);
        class_interfaces_.emplace(name, std::move(entry));
    }
    for (const BuiltinFunction& builtin : BuiltinFunctions())
        NewBuiltin(builtin);
}

HostState::~HostState() = default;

HostContext* HostState::NewContext() {
    ContextObject* context = nullptr;
    if (!free_contexts_.empty()) {
        context = free_contexts_.back();
        free_contexts_.pop_back();
        context->released = false;
    } else {
        contexts_.push_back(
            std::make_unique<ContextObject>(ContextObject{{&kHostContextTable}, this, false}));
        context = contexts_.back().get();
    }
    return &context->base;
}

void HostState::ReleaseContext(ContextObject& context) {
    if (context.released) {
        AuditError("HostContext Release: the context was already released");
        return;
    }
    context.released = true;
    free_contexts_.push_back(&context);
}

ClassInterface* HostState::NewClassInterface(std::string_view name) {
    auto found = class_interfaces_.find(name);
    if (found == class_interfaces_.end())
        return nullptr;
    ++found->second->references;
    return &found->second->base;
}

ImageObject* HostState::NewImage(std::string name, uint32_t data_type,
                                 std::vector<uint32_t> dimensions) {
    auto image = std::make_unique<ImageObject>();
    image->name = std::move(name);
    image->data_type = data_type;
    image->dimensions = std::move(dimensions);
    image->calibrations.resize(image->dimensions.size());
    image->data.resize(image->ElementCount() * DataTypeSize(data_type));
    ImageObject* raw = store_.Adopt(std::move(image));
    raw->tags = NewGroup(store_, false);
    store_.AddHost(raw->tags);
    return raw;
}

StringObject* HostState::NewString(std::string text) {
    return store_.Adopt(std::make_unique<StringObject>(std::move(text)));
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
    return store_.Adopt(std::move(throwable));
}

HostObject* HostState::Resolve(DM_Object handle, const char* what) {
    if (handle == nullptr)
        return nullptr;
    HostObject* object = store_.Find(handle);
    if (object == nullptr)
        AuditError(std::string(what) + ": not a live host object");
    return object;
}

void HostState::SetPending(ThrowableObject* throwable) {
    ThrowableObject* old = pending_;
    if (throwable != nullptr)
        store_.AddHost(throwable);
    pending_ = throwable;
    if (old != nullptr)
        store_.ReleaseHost(old);
}

void HostState::Fail(const HostFailure& failure) {
    SetPending(NewThrowableWithMessage(failure.code(), failure.what()));
}

FunctionObject* HostState::NewBuiltin(const BuiltinFunction& builtin) {
    auto function = std::make_unique<FunctionObject>();
    function->signature_text = builtin.signature;
    function->signature = ParseSignature(builtin.signature);
    function->builtin = builtin.implementation;
    FunctionObject* raw = store_.Adopt(std::move(function));
    store_.AddHost(raw);
    builtin_current_[builtin.signature] = raw;
    return raw;
}

FunctionObject* HostState::LookUp(std::string_view signature) {
    auto current = builtin_current_.find(signature);
    FunctionObject* found = current == builtin_current_.end() ? nullptr : current->second;
    if (found == nullptr) {
        for (FunctionObject* function : installed_) {
            if (function->signature_text == signature)
                found = function;
        }
    }
    if (found != nullptr)
        store_.AddExternal(found);
    return found;
}

FunctionObject* HostState::Install(const char* signature, uint32_t flags, DM_EntryPoint entry) {
    auto function = std::make_unique<FunctionObject>();
    function->signature_text = signature;
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
    FunctionObject* raw = store_.Adopt(std::move(function));
    store_.AddHost(raw);
    installed_.push_back(raw);
    store_.AddExternal(raw);
    return raw;
}

void HostState::Uninstall(FunctionObject* function) {
    for (auto it = installed_.begin(); it != installed_.end(); ++it) {
        if (*it != function)
            continue;
        installed_.erase(it);
        uninstalled_.push_back(function->signature_text);
        store_.ReleaseHost(function);
        return;
    }
    AuditError("UninstallFunction: \"" + function->signature_text + "\" is not installed");
}

bool HostState::AnswerStale(FunctionObject& function) {
    if (!function.stale) {
        auto times = stale_calls.find(function.signature_text);
        if (times == stale_calls.end() || times->second <= 0)
            return false;
        if (--times->second == 0)
            stale_calls.erase(times);
        function.stale = true;
        auto current = builtin_current_.find(function.signature_text);
        if (current != builtin_current_.end() && current->second == &function) {
            // The host moves on to a fresh handle at once, so only the stale one's holders
            // keep it alive.
            NewBuiltin(BuiltinFunction{current->first.c_str(), function.builtin});
            store_.ReleaseHost(&function);
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
    call_log.push_back(function->signature.name);
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
    Fail(HostFailure("CallFunction: \"" + function->signature_text +
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
    ThrowableObject* before = pending_;
    HostContext* context = NewContext();
    reinterpret_cast<DM_CellsEntryPoint>(function.entry)(context, nullptr, cells);
    context->table->Release(context);
    return pending_ != nullptr && pending_ != before ? 1 : DM_CALL_OK;
}

ScriptClassObject* HostState::FindClass(std::string_view name) const {
    for (ScriptClassObject* script_class : classes_) {
        if (script_class->name == name)
            return script_class;
    }
    return nullptr;
}

ScriptClassObject* HostState::RegisterClass(std::string name) {
    if (FindClass(name) != nullptr) {
        throw HostFailure("A script class named \"" + name + "\" is already registered.");
    }
    auto script_class = std::make_unique<ScriptClassObject>();
    script_class->name = std::move(name);
    ScriptClassObject* raw = store_.Adopt(std::move(script_class));
    store_.AddHost(raw);
    classes_.push_back(raw);
    return raw;
}

void HostState::UnregisterClass(std::string_view name) {
    for (auto it = classes_.begin(); it != classes_.end(); ++it) {
        if ((*it)->name != name)
            continue;
        ScriptClassObject* script_class = *it;
        classes_.erase(it);
        store_.ReleaseHost(script_class);
        return;
    }
}

void* HostState::Lock(ImageObject& image) {
    auto lock = std::make_unique<ImageLock>(ImageLock{&image});
    void* address = lock.get();
    store_.AddHost(&image);
    locks_.emplace(address, std::move(lock));
    ++image.lock_count;
    return address;
}

ImageLock* HostState::FindLock(void* lock, const ImageObject& image) {
    auto found = locks_.find(lock);
    if (found == locks_.end() || found->second->image != &image) {
        throw HostFailure("The lock pointer does not belong to this image.");
    }
    return found->second.get();
}

void HostState::Unlock(void* lock) {
    auto found = locks_.find(lock);
    ImageObject* image = found->second->image;
    locks_.erase(found);
    --image->lock_count;
    store_.ReleaseHost(image);
}

void HostState::DropLocksOf(const ImageObject& image) {
    for (auto it = locks_.begin(); it != locks_.end();) {
        if (it->second->image != &image) {
            ++it;
            continue;
        }
        ImageObject* held = it->second->image;
        it = locks_.erase(it);
        store_.ReleaseHost(held);
    }
}

uint32_t HostState::LockString(StringObject& string) {
    const uint32_t token = next_string_token_++;
    store_.AddHost(&string);
    string_locks_.emplace(token, &string);
    return token;
}

void HostState::UnlockString(StringObject& string, uint32_t token) {
    auto found = string_locks_.find(token);
    if (found == string_locks_.end() || found->second != &string) {
        AuditError("UnlockString: the token does not belong to this string");
        return;
    }
    string_locks_.erase(found);
    store_.ReleaseHost(&string);
}

}  // namespace dmhost
