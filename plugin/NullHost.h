// NullHost: the built-in host interface the module talks to while no real host is linked.
//
// Every operation does nothing and returns 0 (null handles), with two exceptions that let
// the frame's own logic run unchanged: the context's CallFunction answers 1 (a failure
// with no pending exception, so typed calls yield empty results without throwing), and
// the class interface compares objects by address. The objects are static and never
// counted, so adding and releasing references on them is free.
#ifndef XRAY_PLUGIN_NULLHOST_H
#define XRAY_PLUGIN_NULLHOST_H

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

HostInterface* NullHost();
HostContext* NullHostContext();
ClassInterface* NullHostClass();

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_NULLHOST_H
