// PlugInUtility: module-wide pieces of the frame.
//
// - The module's library data (sPlugInLibraryData): while at least one reference is held,
//   the module's PlugInErrorManager is the current error manager and the allocation-failure
//   handler raises (28810, 14); the last reference restores what was there before. Main
//   objects hold a reference from construction to destruction.
// - The callback table (GetCallbacks), built on first use and kept until unload, through
//   which the Results output, alerts and image-data locking reach the host. Its entries
//   throw what the host calls behind them throw.
// - The module's own hold on the host binding: one use and every host class from load to
//   unload; at unload the cached host function handles are given back first.
#ifndef XRAY_PLUGIN_PLUGINUTILITY_H
#define XRAY_PLUGIN_PLUGINUTILITY_H

#include <cstdint>

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

struct ImageData;
struct ImageLockRecord;

struct PlugInCallbacks {
    void (*write_results)(const char* chars, uint32_t count);
    void (*show_alert)(const char* text, int32_t alertKind);
    int32_t (*register_custom_menu)(int32_t menu);
    void (*unregister_custom_menu)(int32_t menu);
    int32_t (*register_custom_tool)(const char* name, int32_t tool);
    void (*unregister_custom_tool)(int32_t tool);
    bool (*lock_image_data)(DM_Object image, uint32_t lockFlags, ImageLockRecord& lock);
    void (*get_locked_data)(DM_Object image, const ImageLockRecord& lock, ImageData& info);
    void (*unlock_image_data)(DM_Object image, const ImageLockRecord& lock, bool modified);
};

const PlugInCallbacks& GetCallbacks();

// Counted references on the library data; the first creates it, the last destroys it.
void AcquirePlugInLibraryData();
void ReleasePlugInLibraryData();
bool HasPlugInLibraryData();

// One reference on the library data for the object's lifetime.
class PlugInLibraryReference {
  public:
    PlugInLibraryReference() { AcquirePlugInLibraryData(); }
    ~PlugInLibraryReference() { ReleasePlugInLibraryData(); }
    PlugInLibraryReference(const PlugInLibraryReference&) = delete;
    PlugInLibraryReference& operator=(const PlugInLibraryReference&) = delete;
};

// The allocation-failure handler installed with the library data.
void PlugInOutOfMemory();

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_PLUGINUTILITY_H
