#include "plugin/NullHost.h"

namespace Gatan {
namespace PlugIn {
namespace {

void DM_CDECL HostNothing(HostInterface*) {}
uint32_t DM_CDECL HostVersion(HostInterface*) {
    return 0;
}
HostContext* DM_CDECL HostGetContext(HostInterface*) {
    return NullHostContext();
}
ClassInterface* DM_CDECL HostGetClass(HostInterface*, int32_t, const char*) {
    return NullHostClass();
}
DM_Object DM_CDECL HostInstall(HostInterface*, int32_t, int32_t, const char*, uint32_t,
                               DM_EntryPoint) {
    return nullptr;
}
void DM_CDECL HostUninstall(HostInterface*, DM_Object) {}
DM_Object DM_CDECL HostLookUp(HostInterface*, int32_t, const char*) {
    return nullptr;
}

const HostInterfaceTable kHostTable = {HostNothing,    HostNothing,   HostVersion,
                                       HostGetContext, HostGetClass,  nullptr,
                                       HostInstall,    HostUninstall, HostLookUp};
HostInterface sNullHost = {&kHostTable};

void DM_CDECL ContextNothing(HostContext*) {}
DM_Object DM_CDECL ContextMakeThrowable(HostContext*, int32_t, DM_ErrorDetail) {
    return nullptr;
}
DM_Object DM_CDECL ContextThrowableMessage(HostContext*, DM_Object) {
    return nullptr;
}
DM_Object DM_CDECL ContextTakeException(HostContext*) {
    return nullptr;
}
void DM_CDECL ContextSetException(HostContext*, DM_Object) {}
DM_Object DM_CDECL ContextNewString(HostContext*, int32_t, const char*, uint32_t) {
    return nullptr;
}
const char* DM_CDECL ContextLockString(HostContext*, DM_Object, int32_t, uint32_t*, uint32_t*) {
    return nullptr;
}
void DM_CDECL ContextUnlockString(HostContext*, DM_Object, uint32_t) {}
// A failure without a pending exception: callers see empty results and no error.
int32_t DM_CDECL ContextCallFunction(HostContext*, DM_Object, int32_t, ArgumentCell*) {
    return 1;
}

const HostContextTable kContextTable = {nullptr,
                                        ContextNothing,
                                        nullptr,
                                        nullptr,
                                        ContextNothing,
                                        ContextMakeThrowable,
                                        ContextThrowableMessage,
                                        ContextTakeException,
                                        ContextSetException,
                                        ContextNewString,
                                        ContextLockString,
                                        ContextUnlockString,
                                        ContextCallFunction};
HostContext sNullContext = {&kContextTable};

void DM_CDECL ClassNothing(ClassInterface*) {}
void DM_CDECL ClassObjectNothing(ClassInterface*, DM_Object) {}
uint8_t DM_CDECL ClassIsValid(ClassInterface*, DM_Object) {
    return 0;
}
uint8_t DM_CDECL ClassIsSame(ClassInterface*, DM_Object a, DM_Object b) {
    return a == b ? 1 : 0;
}

const ClassInterfaceTable kClassTable = {nullptr,
                                         ClassNothing,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         nullptr,
                                         ClassObjectNothing,
                                         ClassObjectNothing,
                                         nullptr,
                                         ClassIsValid,
                                         nullptr,
                                         ClassIsSame};
ClassInterface sNullClass = {&kClassTable};

}  // namespace

HostInterface* NullHost() {
    return &sNullHost;
}
HostContext* NullHostContext() {
    return &sNullContext;
}
ClassInterface* NullHostClass() {
    return &sNullClass;
}

}  // namespace PlugIn
}  // namespace Gatan
