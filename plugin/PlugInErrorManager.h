// PlugInErrorManager: the module's error manager, which shows errors through the host.
//
// DisplayError asks the host for the message of the pair (GetHostErrorText, at most 255
// characters in a module-level buffer of 256 bytes) and shows it as an alert of the given
// kind. Everything else is ErrorManager's. Installed while the module's library data
// exists (PlugInUtility).
#ifndef XRAY_PLUGIN_PLUGINERRORMANAGER_H
#define XRAY_PLUGIN_PLUGINERRORMANAGER_H

#include <cstddef>
#include <cstdint>

#include "plugin/ErrorManager.h"

namespace Gatan {
namespace PlugIn {

class PlugInErrorManager : public ErrorManager {
  public:
    void DisplayError(int32_t code, DM_ErrorDetail detail, int32_t alertKind) override;
    // The host's text for the pair: at most capacity characters, not terminated; 0 when
    // the host gives no context.
    virtual std::size_t GetHostErrorText(int32_t code, DM_ErrorDetail detail, char* buffer,
                                         std::size_t capacity);
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_PLUGINERRORMANAGER_H
