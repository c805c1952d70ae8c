// Temporary: the API compiles and links while the implementation is written.
#include "host/StandInHost.h"

#include <stdexcept>

namespace dmhost {

class HostState {};

namespace {
[[noreturn]] void NotYet() {
    throw std::logic_error("stand-in host: not implemented yet");
}
}  // namespace

StandInHost::StandInHost(uint32_t) : state_(std::make_unique<HostState>()) {}
StandInHost::~StandInHost() = default;
HostInterface* StandInHost::Interface() {
    NotYet();
}
HostContext* StandInHost::NewContext() {
    NotYet();
}
ClassInterface* StandInHost::NewClassInterface(std::string_view) {
    NotYet();
}
void StandInHost::SetVersion(uint32_t) {
    NotYet();
}
uint32_t StandInHost::Version() const {
    NotYet();
}
ObjectRef StandInHost::MakeImage(const ImageSpec&) {
    NotYet();
}
ObjectRef StandInHost::MakeString(std::string_view) {
    NotYet();
}
ObjectRef StandInHost::MakeTagGroup(const std::vector<TagValue>&) {
    NotYet();
}
ObjectRef StandInHost::MakeTagList(const std::vector<TagValue>&) {
    NotYet();
}
ObjectRef StandInHost::MakeThrowable(int32_t, DM_ErrorDetail) {
    NotYet();
}
ImageSnapshot StandInHost::ReadImage(DM_Object) const {
    NotYet();
}
std::string StandInHost::ReadText(DM_Object) const {
    NotYet();
}
TagValue StandInHost::ReadTags(DM_Object) const {
    NotYet();
}
std::string StandInHost::ThrowableMessage(DM_Object) const {
    NotYet();
}
int32_t StandInHost::ThrowableCode(DM_Object) const {
    NotYet();
}
ObjectClass StandInHost::ClassOf(DM_Object) const {
    NotYet();
}
bool StandInHost::IsLive(DM_Object) const {
    NotYet();
}
int32_t StandInHost::ReferenceCount(DM_Object) const {
    NotYet();
}
int32_t StandInHost::LockCount(DM_Object) const {
    NotYet();
}
const std::string& StandInHost::ResultsText() const {
    NotYet();
}
void StandInHost::ClearResults() {
    NotYet();
}
const std::vector<Alert>& StandInHost::Alerts() const {
    NotYet();
}
void StandInHost::ClearAlerts() {
    NotYet();
}
bool StandInHost::HasPendingException() const {
    NotYet();
}
std::string StandInHost::PendingExceptionMessage() const {
    NotYet();
}
int32_t StandInHost::PendingExceptionCode() const {
    NotYet();
}
DM_Object StandInHost::PendingException() const {
    NotYet();
}
void StandInHost::ClearPendingException() {
    NotYet();
}
std::vector<InstalledFunction> StandInHost::InstalledFunctions() const {
    NotYet();
}
std::vector<std::string> StandInHost::UninstalledSignatures() const {
    NotYet();
}
std::vector<std::string> StandInHost::RegisteredClasses() const {
    NotYet();
}
std::vector<std::string> StandInHost::ClassMethods(std::string_view) const {
    NotYet();
}
const std::vector<std::string>& StandInHost::CallLog() const {
    NotYet();
}
int32_t StandInHost::CallCount(std::string_view) const {
    NotYet();
}
void StandInHost::ClearCallLog() {
    NotYet();
}
std::optional<int32_t> StandInHost::LastSetCalibrationFormat() const {
    NotYet();
}
std::optional<int32_t> StandInHost::LastGetCalibrationFormat() const {
    NotYet();
}
ScriptResult StandInHost::CallScriptFunction(std::string_view, const std::vector<ScriptValue>&) {
    NotYet();
}
ScriptResult StandInHost::CallClassMethod(std::string_view, std::string_view,
                                          std::vector<ArgumentCell>) {
    NotYet();
}
AuditSnapshot StandInHost::Audit() const {
    NotYet();
}
const std::vector<std::string>& StandInHost::AuditErrors() const {
    NotYet();
}
void StandInHost::ClearAuditErrors() {
    NotYet();
}
void StandInHost::MakeFunctionStale(std::string_view, int32_t) {
    NotYet();
}
void StandInHost::FailNextCall(std::string_view, int32_t, std::string) {
    NotYet();
}
void StandInHost::RefuseNextLock() {
    NotYet();
}
void StandInHost::ReportDimensionCount(DM_Object, uint32_t) {
    NotYet();
}
void StandInHost::InvalidateWhenLocked(DM_Object) {
    NotYet();
}
void StandInHost::InvalidateImage(DM_Object) {
    NotYet();
}

ObjectRef::ObjectRef(ObjectRef&& other) noexcept : host_(other.host_), object_(other.object_) {
    other.object_ = nullptr;
}
ObjectRef& ObjectRef::operator=(ObjectRef&& other) noexcept {
    if (this != &other) {
        reset();
        host_ = other.host_;
        object_ = other.object_;
        other.object_ = nullptr;
    }
    return *this;
}
ObjectRef::~ObjectRef() {
    reset();
}
DM_Object ObjectRef::release() {
    DM_Object object = object_;
    object_ = nullptr;
    return object;
}
void ObjectRef::reset() {
    object_ = nullptr;
}

}  // namespace dmhost
