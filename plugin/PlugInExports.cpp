// The module's six exports and its main object. Only the module is built from this file:
// in-process tests make main objects of their own.
#include "interface/DMPlugInInterface.h"
#include "plugin/DMZorlab.h"
#include "plugin/HostBinding.h"
#include "plugin/PlugInLifecycle.h"

namespace {

// Constructed when the module loads, destroyed when it unloads.
DMZorlab sDMZorlab;

}  // namespace

extern "C" {

DM_EXPORT int32_t DM_CDECL DMPlugIn_GetVersion(void) {
    return 2;
}

// Nothing here can throw: the linking only counts references.
DM_EXPORT void DM_CDECL DMPlugIn_Link_2(HostInterface* host) {
    Gatan::PlugIn::LinkHost(host);
}

DM_EXPORT void DM_CDECL PlugInStartup(void) {
    Gatan::PlugIn::StartPlugIn();
}

DM_EXPORT void DM_CDECL PlugInRun(void) {
    Gatan::PlugIn::RunPlugIn();
}

DM_EXPORT void DM_CDECL PlugInCleanup(void) {
    Gatan::PlugIn::CleanupPlugIn();
}

DM_EXPORT void DM_CDECL PlugInShutdown(void) {
    Gatan::PlugIn::ShutdownPlugIn();
}

}  // extern "C"
