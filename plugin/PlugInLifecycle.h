// PlugInLifecycle: what the module's lifecycle exports do, in the host's order.
//
// StartPlugIn links the pending host, checks that it is 3.8.0 or later ("This plugin
// requires DM 3.8.0 or later." otherwise, and nothing else happens), registers the
// memory-buffer class and lets the main object's Startup install its script functions.
// RunPlugIn and CleanupPlugIn call the main object's Run and Cleanup. ShutdownPlugIn calls
// its Shutdown, uninstalls its functions (last installed first) and removes the
// memory-buffer class.
//
// None of them throws: a failure becomes the host's pending exception and the function
// returns normally, leaving done what was done (functions installed before a failure stay
// listed for shut-down to remove).
#ifndef XRAY_PLUGIN_PLUGINLIFECYCLE_H
#define XRAY_PLUGIN_PLUGINLIFECYCLE_H

#include <cstdint>

namespace Gatan {
namespace PlugIn {

// The oldest host the module runs in: 3.8.0.
constexpr uint32_t kMinimumHostVersion = 0x03080000u;

void StartPlugIn() noexcept;
void RunPlugIn() noexcept;
void CleanupPlugIn() noexcept;
void ShutdownPlugIn() noexcept;

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_PLUGINLIFECYCLE_H
