// A minimal module for testing how the stand-in host loads and drives a library: it links,
// installs one script function at start-up, removes it at shut-down, and gives back its
// reference to the host interface when the library is unloaded.
#include <cstring>

#include "interface/DMPlugInInterface.h"

namespace {

HostInterface* linked = nullptr;
DM_Object installed = nullptr;

DM_Object DM_CDECL FakeVersion() {
    HostContext* context = linked->table->GetContext(linked);
    DM_Object text = context->table->NewString(context, 0, "fake", 4);
    context->table->Release(context);
    return text;
}

// Runs when the library is unloaded.
struct UnloadRelease {
    ~UnloadRelease() {
        if (linked != nullptr)
            linked->table->Release(linked);
    }
} unloadRelease;

}  // namespace

extern "C" {

DM_EXPORT int32_t DM_CDECL DMPlugIn_GetVersion(void) {
    return 2;
}

DM_EXPORT void DM_CDECL DMPlugIn_Link_2(HostInterface* host) {
    if (host == linked)
        return;
    if (host != nullptr)
        host->table->AddReference(host);
    if (linked != nullptr)
        linked->table->Release(linked);
    linked = host;
}

DM_EXPORT void DM_CDECL PlugInStartup(void) {
    installed = linked->table->InstallFunction(linked, 0, 0, "dm_string FakeVersion(void)",
                                               DM_FUNCTION_PLAIN,
                                               reinterpret_cast<DM_EntryPoint>(FakeVersion));
}

DM_EXPORT void DM_CDECL PlugInRun(void) {}

DM_EXPORT void DM_CDECL PlugInCleanup(void) {}

DM_EXPORT void DM_CDECL PlugInShutdown(void) {
    if (installed == nullptr)
        return;
    linked->table->UninstallFunction(linked, installed);
    ClassInterface* functions =
        linked->table->GetClass(linked, 0, "Gatan:DigitalMicrograph:Function");
    functions->table->ReleaseObject(functions, installed);
    functions->table->ReleaseClass(functions);
    installed = nullptr;
}

}  // extern "C"
