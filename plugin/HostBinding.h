// HostBinding: which HostInterface the module talks to, and who is using it.
//
// The module keeps one current interface and one pending interface, each holding one
// reference. The current one is NullHost from the first use of the binding until start-up
// links the real host; the pending one is whatever the host last handed to the linking
// export. A use of the binding (HostUse) is counted with atomic operations; the last use
// to end releases the current interface. Module-level holders keep a use from load to
// unload, so the count only drops to zero at unload.
//
// Everything here except the use count is unguarded: the host calls the module from one
// thread at a time. Nothing here throws.
#ifndef XRAY_PLUGIN_HOSTBINDING_H
#define XRAY_PLUGIN_HOSTBINDING_H

#include <cstdint>

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

// One use of the binding for the lifetime of the object.
class HostUse {
  public:
    HostUse();
    ~HostUse();
    HostUse(const HostUse&) = delete;
    HostUse& operator=(const HostUse&) = delete;
};

void AcquireHostUse();
void ReleaseHostUse();
int32_t HostUseCount();

// The interface host calls go to; null only when no use is held.
HostInterface* CurrentHost();
HostInterface* PendingHost();

// The linking export's logic: the same interface again changes nothing; otherwise the new
// one (null allowed) gains a reference, the previous pending one loses its reference.
void LinkHost(HostInterface* host);

// The linking step of start-up: the pending interface (NullHost when there is none) becomes
// current, then the relink list runs, latest entry first, with the new current interface.
void LinkPendingHost();

// An action start-up repeats with each newly linked interface. Entries are never removed;
// an action must cope with being run when its owner has nothing to refresh.
using RelinkAction = void (*)(HostInterface* host, void* argument);
void AddRelinkEntry(RelinkAction action, void* argument);

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_HOSTBINDING_H
