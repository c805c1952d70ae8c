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
    if (object == nullptr || object->objectClass != expected) {
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
    if (DataTypeSize(spec.dataType) == 0) {
        throw std::invalid_argument("unsupported data type " + std::to_string(spec.dataType));
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

StandInHost::StandInHost(uint32_t version) : fState(std::make_unique<HostState>(version)) {}
StandInHost::~StandInHost() = default;

HostInterface* StandInHost::Interface() {
    return fState->Interface();
}
HostContext* StandInHost::NewContext() {
    return fState->NewContext();
}
ClassInterface* StandInHost::NewClassInterface(std::string_view className) {
    return fState->NewClassInterface(className);
}
void StandInHost::SetVersion(uint32_t version) {
    fState->version = version;
}
uint32_t StandInHost::Version() const {
    return fState->version;
}

// ---- Making objects ----

ObjectRef StandInHost::MakeImage(const ImageSpec& spec) {
    std::vector<uint32_t> dimensions = spec.dimensions;
    if (dimensions.empty())
        dimensions.push_back(static_cast<uint32_t>(spec.values.size()));
    CheckSpec(spec, dimensions);
    ImageObject* image = fState->NewImage(spec.name, spec.dataType, dimensions);
    fState->store().AddExternal(image);
    ObjectRef result(*this, ToHandle(image));
    for (size_t i = 0; i < spec.values.size(); ++i) {
        WriteElement(spec.dataType, image->data.data(), i, spec.values[i]);
    }
    std::copy(spec.calibrations.begin(), spec.calibrations.end(), image->calibrations.begin());
    image->intensityUnit = spec.intensityUnit;
    AddMembers(fState->store(), *image->tags, spec.tags);
    return result;
}

ObjectRef StandInHost::MakeString(std::string_view text) {
    StringObject* string = fState->NewString(std::string(text));
    fState->store().AddExternal(string);
    return ObjectRef(*this, ToHandle(string));
}

ObjectRef StandInHost::MakeTagGroup(const std::vector<TagValue>& members) {
    TagGroupObject* group = NewGroup(fState->store(), false);
    fState->store().AddExternal(group);
    ObjectRef result(*this, ToHandle(group));
    AddMembers(fState->store(), *group, members);
    return result;
}

ObjectRef StandInHost::MakeTagList(const std::vector<TagValue>& items) {
    TagGroupObject* list = NewGroup(fState->store(), true);
    fState->store().AddExternal(list);
    ObjectRef result(*this, ToHandle(list));
    AddMembers(fState->store(), *list, items);
    return result;
}

ObjectRef StandInHost::MakeThrowable(int32_t code, DM_ErrorDetail detail) {
    ThrowableObject* throwable = fState->NewThrowable(code, detail);
    fState->store().AddExternal(throwable);
    return ObjectRef(*this, ToHandle(throwable));
}

// ---- Reading objects ----

ImageSnapshot StandInHost::ReadImage(DM_Object handle, ImageValues values) const {
    const auto& image = Expect<ImageObject>(*fState, handle, ObjectClass::kImage);
    ImageSnapshot snapshot;
    snapshot.name = image.name;
    snapshot.dataType = image.dataType;
    snapshot.dimensions = image.dimensions;
    if (values == ImageValues::kWithValues)
        snapshot.values = ReadElements(image.dataType, image.data.data(), image.ElementCount());
    snapshot.calibrations = image.calibrations;
    snapshot.intensityUnit = image.intensityUnit;
    snapshot.tags = ToTagValue(*image.tags, "");
    snapshot.lockCount = image.lockCount;
    snapshot.dataChangedCount = image.dataChangedCount;
    snapshot.valid = image.valid;
    return snapshot;
}

std::string StandInHost::ReadText(DM_Object handle) const {
    return Expect<StringObject>(*fState, handle, ObjectClass::kString).text;
}

TagValue StandInHost::ReadTags(DM_Object handle) const {
    return ToTagValue(Expect<TagGroupObject>(*fState, handle, ObjectClass::kTagGroup), "");
}

std::string StandInHost::ThrowableMessage(DM_Object handle) const {
    return Expect<ThrowableObject>(*fState, handle, ObjectClass::kThrowable).message;
}

int32_t StandInHost::ThrowableCode(DM_Object handle) const {
    return Expect<ThrowableObject>(*fState, handle, ObjectClass::kThrowable).code;
}

ObjectClass StandInHost::ClassOf(DM_Object handle) const {
    const HostObject* object = fState->store().Find(handle);
    if (object == nullptr)
        throw std::invalid_argument("not a live host object");
    return object->objectClass;
}

bool StandInHost::IsLive(DM_Object handle) const {
    return handle != nullptr && fState->store().Find(handle) != nullptr;
}

int32_t StandInHost::ReferenceCount(DM_Object handle) const {
    const HostObject* object = fState->store().Find(handle);
    if (object == nullptr)
        throw std::invalid_argument("not a live host object");
    return object->references - object->hostReferences;
}

int32_t StandInHost::LockCount(DM_Object handle) const {
    return Expect<ImageObject>(*fState, handle, ObjectClass::kImage).lockCount;
}

// ---- Output, pending exception, records ----

const std::string& StandInHost::ResultsText() const {
    return fState->results;
}
void StandInHost::ClearResults() {
    fState->results.clear();
}
const std::vector<Alert>& StandInHost::Alerts() const {
    return fState->alerts;
}
void StandInHost::ClearAlerts() {
    fState->alerts.clear();
}

bool StandInHost::HasPendingException() const {
    return fState->pending() != nullptr;
}
std::string StandInHost::PendingExceptionMessage() const {
    return fState->pending() == nullptr ? std::string() : fState->pending()->message;
}
int32_t StandInHost::PendingExceptionCode() const {
    return fState->pending() == nullptr ? 0 : fState->pending()->code;
}
DM_Object StandInHost::PendingException() const {
    return ToHandle(fState->pending());
}
void StandInHost::ClearPendingException() {
    fState->SetPending(nullptr);
}

std::vector<InstalledFunction> StandInHost::InstalledFunctions() const {
    std::vector<InstalledFunction> functions;
    for (const FunctionObject* function : fState->installed()) {
        functions.push_back({function->signatureText, function->signature.name, function->flags});
    }
    return functions;
}

std::vector<std::string> StandInHost::UninstalledSignatures() const {
    return fState->uninstalled();
}

std::vector<std::string> StandInHost::RegisteredClasses() const {
    std::vector<std::string> names;
    for (const ScriptClassObject* scriptClass : fState->classes()) {
        names.push_back(scriptClass->name);
    }
    return names;
}

std::vector<std::string> StandInHost::ClassMethods(std::string_view className) const {
    std::vector<std::string> methods;
    if (const ScriptClassObject* scriptClass = fState->FindClass(className)) {
        for (const FunctionObject* method : scriptClass->methods) {
            methods.push_back(method->signatureText);
        }
    }
    return methods;
}

const std::vector<std::string>& StandInHost::CallLog() const {
    return fState->callLog;
}
int32_t StandInHost::CallCount(std::string_view functionName) const {
    return static_cast<int32_t>(
        std::count(fState->callLog.begin(), fState->callLog.end(), functionName));
}
void StandInHost::ClearCallLog() {
    fState->callLog.clear();
}

std::optional<int32_t> StandInHost::LastSetCalibrationFormat() const {
    return fState->lastSetCalibrationFormat;
}
std::optional<int32_t> StandInHost::LastGetCalibrationFormat() const {
    return fState->lastGetCalibrationFormat;
}

// ---- Audit ----

AuditSnapshot StandInHost::Audit() const {
    AuditSnapshot snapshot;
    fState->store().ForEach([&snapshot](const HostObject& object) {
        const int c = static_cast<int>(object.objectClass);
        ++snapshot.objects[c];
        snapshot.references[c] += object.references - object.hostReferences;
    });
    snapshot.interfaceReferences = fState->interfaceReferences;
    for (const auto& entry : fState->classInterfaces()) {
        snapshot.classInterfaceReferences += entry.second->references;
    }
    for (const auto& context : fState->contexts()) {
        if (!context->released)
            ++snapshot.openContexts;
    }
    snapshot.stringLocks = static_cast<int32_t>(fState->StringLockCount());
    snapshot.imageLocks = static_cast<int32_t>(fState->LockCount());
    return snapshot;
}

const std::vector<std::string>& StandInHost::AuditErrors() const {
    return fState->auditErrors;
}
void StandInHost::ClearAuditErrors() {
    fState->auditErrors.clear();
}

// ---- Fault injection ----

void StandInHost::MakeFunctionStale(std::string_view signature, int32_t times) {
    fState->staleCalls[std::string(signature)] = times;
}

void StandInHost::FailNextCall(std::string_view functionName, int32_t code, std::string message) {
    fState->failures[std::string(functionName)] = InjectedFailure{code, std::move(message)};
}

void StandInHost::RefuseNextLock() {
    fState->refuseNextLock = true;
}

void StandInHost::ReportDimensionCount(DM_Object image, uint32_t count) {
    Expect<ImageObject>(*fState, image, ObjectClass::kImage).reportedDimensions = count;
}

void StandInHost::InvalidateWhenLocked(DM_Object image) {
    Expect<ImageObject>(*fState, image, ObjectClass::kImage).invalidateWhenLocked = true;
}

void StandInHost::InvalidateImage(DM_Object handle) {
    auto& image = Expect<ImageObject>(*fState, handle, ObjectClass::kImage);
    image.valid = false;
    fState->DropLocksOf(image);
}

}  // namespace dmhost
