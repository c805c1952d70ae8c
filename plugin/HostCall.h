// HostCall: calling a host script function by its signature text.
//
// A HostFunctionSlot caches the Function handle for one signature (one reference). It is
// empty at load, filled on first use, replaced when the host reports the handle stale, and
// emptied by ReleaseHostFunctionSlots at unload. Slots are plain module-level data so that
// they exist before any module-level constructor runs.
//
// CallHostFunction throws Gatan::PlugIn::dmplugin_exception carrying the host's pending
// Throwable when the call fails; a failure without a pending Throwable returns normally
// and leaves the cells as they were (zero when the caller zeroed them).
#ifndef XRAY_PLUGIN_HOSTCALL_H
#define XRAY_PLUGIN_HOSTCALL_H

#include <cstdint>

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

struct HostFunctionSlot {
    DM_Object fFunction;      // one reference, or null
    HostFunctionSlot* fNext;  // chain of slots that have been used, for the release
    bool fRegistered;
};

void CallHostFunction(HostFunctionSlot& slot, int32_t cellCount, ArgumentCell* cells,
                      const char* signature);

// Gives back every cached Function handle (module unload; tests between hosts).
void ReleaseHostFunctionSlots();

// How many slots currently hold a Function handle.
int32_t FilledHostFunctionSlots();

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_HOSTCALL_H
