// HostScope: the span of one host operation.
//
// Construction takes a use of the host binding and asks the current host for a context;
// destruction releases the context and the use. The context may be null when a host gives
// none; callers check. Each scope has its own context. Nothing here throws.
#ifndef XRAY_PLUGIN_HOSTSCOPE_H
#define XRAY_PLUGIN_HOSTSCOPE_H

#include "interface/DMPlugInInterface.h"
#include "plugin/HostBinding.h"

namespace Gatan {
namespace PlugIn {

class HostScope {
  public:
    HostScope();
    ~HostScope();
    HostScope(const HostScope&) = delete;
    HostScope& operator=(const HostScope&) = delete;

    HostInterface* host() const { return fHost; }
    HostContext* context() const { return fContext; }

  private:
    HostUse fUse;
    HostInterface* fHost;
    HostContext* fContext;
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_HOSTSCOPE_H
