#include "host/StandInHost.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "host/ElementData.h"
#include "host/HostState.h"
#include "host/TagTree.h"

namespace dmhost {
namespace {

template <class T>
T& Expect(const HostState& state, DM_Object handle, ObjectClass expected) {
    HostObject* object = state.store().Find(handle);
    if (object == nullptr || object->object_class != expected) {
        throw std::invalid_argument(std::string("not a live ") + ObjectClassName(expected));
    }
    return *static_cast<T*>(object);
}

uint64_t ProductOf(const std::vector<uint32_t>& dimensions) {
    uint64_t product = 1;
    for (uint32_t size : dimensions)
        product *= size;
    return product;
}

void CheckSpec(const ImageSpec& spec, const std::vector<uint32_t>& dimensions) {
    if (DataTypeSize(spec.data_type) == 0) {
        throw std::invalid_argument("unsupported data type " + std::to_string(spec.data_type));
    }
    if (dimensions.empty() || ProductOf(dimensions) == 0) {
        throw std::invalid_argument("an image needs at least one element");
    }
    if (ProductOf(dimensions) != spec.values.size()) {
        throw std::invalid_argument("the values do not fill the dimensions");
    }
    if (spec.calibrations.size() > dimensions.size()) {
        throw std::invalid_argument("more calibrations than dimensions");
    }
}

}  // namespace

StandInHost::StandInHost(uint32_t version) : state_(std::make_unique<HostState>(version)) {}
StandInHost::~StandInHost() = default;

HostInterface* StandInHost::Interface() {
    return state_->Interface();
}
HostContext* StandInHost::NewContext() {
    return state_->NewContext();
}
ClassInterface* StandInHost::NewClassInterface(std::string_view class_name) {
    return state_->NewClassInterface(class_name);
}
void StandInHost::SetVersion(uint32_t version) {
    state_->version = version;
}
uint32_t StandInHost::Version() const {
    return state_->version;
}

// ---- Making objects ----

ObjectRef StandInHost::MakeImage(const ImageSpec& spec) {
    std::vector<uint32_t> dimensions = spec.dimensions;
    if (dimensions.empty())
        dimensions.push_back(static_cast<uint32_t>(spec.values.size()));
    CheckSpec(spec, dimensions);
    ImageObject* image = state_->NewImage(spec.name, spec.data_type, dimensions);
    state_->store().AddExternal(image);
    ObjectRef result(*this, ToHandle(image));
    for (size_t i = 0; i < spec.values.size(); ++i) {
        WriteElement(spec.data_type, image->data.data(), i, spec.values[i]);
    }
    std::copy(spec.calibrations.begin(), spec.calibrations.end(), image->calibrations.begin());
    image->intensity_unit = spec.intensity_unit;
    AddMembers(state_->store(), *image->tags, spec.tags);
    return result;
}

ObjectRef StandInHost::MakeString(std::string_view text) {
    StringObject* string = state_->NewString(std::string(text));
    state_->store().AddExternal(string);
    return ObjectRef(*this, ToHandle(string));
}

ObjectRef StandInHost::MakeTagGroup(const std::vector<TagValue>& members) {
    TagGroupObject* group = NewGroup(state_->store(), false);
    state_->store().AddExternal(group);
    ObjectRef result(*this, ToHandle(group));
    AddMembers(state_->store(), *group, members);
    return result;
}

ObjectRef StandInHost::MakeTagList(const std::vector<TagValue>& items) {
    TagGroupObject* list = NewGroup(state_->store(), true);
    state_->store().AddExternal(list);
    ObjectRef result(*this, ToHandle(list));
    AddMembers(state_->store(), *list, items);
    return result;
}

ObjectRef StandInHost::MakeThrowable(int32_t code, DM_ErrorDetail detail) {
    ThrowableObject* throwable = state_->NewThrowable(code, detail);
    state_->store().AddExternal(throwable);
    return ObjectRef(*this, ToHandle(throwable));
}

// ---- Reading objects ----

ImageSnapshot StandInHost::ReadImage(DM_Object handle) const {
    const auto& image = Expect<ImageObject>(*state_, handle, ObjectClass::kImage);
    ImageSnapshot snapshot;
    snapshot.name = image.name;
    snapshot.data_type = image.data_type;
    snapshot.dimensions = image.dimensions;
    const uint64_t count = image.ElementCount();
    snapshot.values.reserve(count);
    for (uint64_t i = 0; i < count; ++i) {
        snapshot.values.push_back(ReadElement(image.data_type, image.data.data(), i));
    }
    snapshot.calibrations = image.calibrations;
    snapshot.intensity_unit = image.intensity_unit;
    snapshot.tags = ToTagValue(*image.tags, "");
    snapshot.lock_count = image.lock_count;
    snapshot.data_changed_count = image.data_changed_count;
    snapshot.valid = image.valid;
    return snapshot;
}

std::string StandInHost::ReadText(DM_Object handle) const {
    return Expect<StringObject>(*state_, handle, ObjectClass::kString).text;
}

TagValue StandInHost::ReadTags(DM_Object handle) const {
    return ToTagValue(Expect<TagGroupObject>(*state_, handle, ObjectClass::kTagGroup), "");
}

std::string StandInHost::ThrowableMessage(DM_Object handle) const {
    return Expect<ThrowableObject>(*state_, handle, ObjectClass::kThrowable).message;
}

int32_t StandInHost::ThrowableCode(DM_Object handle) const {
    return Expect<ThrowableObject>(*state_, handle, ObjectClass::kThrowable).code;
}

ObjectClass StandInHost::ClassOf(DM_Object handle) const {
    const HostObject* object = state_->store().Find(handle);
    if (object == nullptr)
        throw std::invalid_argument("not a live host object");
    return object->object_class;
}

bool StandInHost::IsLive(DM_Object handle) const {
    return handle != nullptr && state_->store().Find(handle) != nullptr;
}

int32_t StandInHost::ReferenceCount(DM_Object handle) const {
    const HostObject* object = state_->store().Find(handle);
    if (object == nullptr)
        throw std::invalid_argument("not a live host object");
    return object->references - object->host_references;
}

int32_t StandInHost::LockCount(DM_Object handle) const {
    return Expect<ImageObject>(*state_, handle, ObjectClass::kImage).lock_count;
}

// ---- Output, pending exception, records ----

const std::string& StandInHost::ResultsText() const {
    return state_->results;
}
void StandInHost::ClearResults() {
    state_->results.clear();
}
const std::vector<Alert>& StandInHost::Alerts() const {
    return state_->alerts;
}
void StandInHost::ClearAlerts() {
    state_->alerts.clear();
}

bool StandInHost::HasPendingException() const {
    return state_->pending() != nullptr;
}
std::string StandInHost::PendingExceptionMessage() const {
    return state_->pending() == nullptr ? std::string() : state_->pending()->message;
}
int32_t StandInHost::PendingExceptionCode() const {
    return state_->pending() == nullptr ? 0 : state_->pending()->code;
}
DM_Object StandInHost::PendingException() const {
    return ToHandle(state_->pending());
}
void StandInHost::ClearPendingException() {
    state_->SetPending(nullptr);
}

std::vector<InstalledFunction> StandInHost::InstalledFunctions() const {
    std::vector<InstalledFunction> functions;
    for (const FunctionObject* function : state_->installed()) {
        functions.push_back({function->signature_text, function->signature.name, function->flags});
    }
    return functions;
}

std::vector<std::string> StandInHost::UninstalledSignatures() const {
    return state_->uninstalled();
}

std::vector<std::string> StandInHost::RegisteredClasses() const {
    std::vector<std::string> names;
    for (const ScriptClassObject* script_class : state_->classes()) {
        names.push_back(script_class->name);
    }
    return names;
}

std::vector<std::string> StandInHost::ClassMethods(std::string_view class_name) const {
    std::vector<std::string> methods;
    if (const ScriptClassObject* script_class = state_->FindClass(class_name)) {
        for (const FunctionObject* method : script_class->methods) {
            methods.push_back(method->signature_text);
        }
    }
    return methods;
}

const std::vector<std::string>& StandInHost::CallLog() const {
    return state_->call_log;
}
int32_t StandInHost::CallCount(std::string_view function_name) const {
    return static_cast<int32_t>(
        std::count(state_->call_log.begin(), state_->call_log.end(), function_name));
}
void StandInHost::ClearCallLog() {
    state_->call_log.clear();
}

std::optional<int32_t> StandInHost::LastSetCalibrationFormat() const {
    return state_->last_set_calibration_format;
}
std::optional<int32_t> StandInHost::LastGetCalibrationFormat() const {
    return state_->last_get_calibration_format;
}

// ---- Audit ----

AuditSnapshot StandInHost::Audit() const {
    AuditSnapshot snapshot;
    state_->store().ForEach([&snapshot](const HostObject& object) {
        const int c = static_cast<int>(object.object_class);
        ++snapshot.objects[c];
        snapshot.references[c] += object.references - object.host_references;
    });
    snapshot.interface_references = state_->interface_references;
    for (const auto& entry : state_->class_interfaces()) {
        snapshot.class_interface_references += entry.second->references;
    }
    for (const auto& context : state_->contexts()) {
        if (!context->released)
            ++snapshot.open_contexts;
    }
    snapshot.string_locks = static_cast<int32_t>(state_->StringLockCount());
    snapshot.image_locks = static_cast<int32_t>(state_->LockCount());
    return snapshot;
}

const std::vector<std::string>& StandInHost::AuditErrors() const {
    return state_->audit_errors;
}
void StandInHost::ClearAuditErrors() {
    state_->audit_errors.clear();
}

// ---- Fault injection ----

void StandInHost::MakeFunctionStale(std::string_view signature, int32_t times) {
    state_->stale_calls[std::string(signature)] = times;
}

void StandInHost::FailNextCall(std::string_view function_name, int32_t code, std::string message) {
    state_->failures[std::string(function_name)] = InjectedFailure{code, std::move(message)};
}

void StandInHost::RefuseNextLock() {
    state_->refuse_next_lock = true;
}

void StandInHost::ReportDimensionCount(DM_Object image, uint32_t count) {
    Expect<ImageObject>(*state_, image, ObjectClass::kImage).reported_dimensions = count;
}

void StandInHost::InvalidateWhenLocked(DM_Object image) {
    Expect<ImageObject>(*state_, image, ObjectClass::kImage).invalidate_when_locked = true;
}

void StandInHost::InvalidateImage(DM_Object handle) {
    auto& image = Expect<ImageObject>(*state_, handle, ObjectClass::kImage);
    image.valid = false;
    state_->DropLocksOf(image);
}

}  // namespace dmhost
