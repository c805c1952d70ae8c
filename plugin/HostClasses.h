// HostClasses: the module's class interfaces, one per host class, acquired by name.
//
// Each class has a use count and a ClassInterface pointer holding one reference. The first
// acquisition fetches the interface from the current host and enters the class in the
// relink list, so that start-up replaces NullHost's interface with the real host's; the
// last release gives the interface back. Module-level holders acquire every class at load
// and release them at unload. Unguarded: the host calls the module from one thread at a
// time. Nothing here throws.
#ifndef XRAY_PLUGIN_HOSTCLASSES_H
#define XRAY_PLUGIN_HOSTCLASSES_H

#include <cstdint>

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

// In the order the classes are acquired.
enum HostClassId {
    kImageClass,
    kRegionOfInterestClass,
    kComponentClass,
    kImageDisplayClass,
    kLinePlotImageDisplayClass,
    kRasterImageDisplayClass,
    kSurfacePlotImageDisplayClass,
    kImageDocumentClass,
    kTagGroupClass,
    kWindowClass,
    kStringClass,
    kScriptObjectClass,
    kThrowableClass,
    kFunctionClass,
    kScriptClassClass,
    kHostClassCount
};

const char* HostClassName(HostClassId id);

// Counted acquisition of a class interface; returns it.
ClassInterface* AcquireClass(HostClassId id);
void ReleaseClass(HostClassId id);

// The interface to use for objects of the class: NullHost's while the class is not held,
// so that a handle outliving the binding still has somewhere harmless to go.
ClassInterface* HostClass(HostClassId id);

// Whether the class currently holds an interface of a host (tests audit this).
bool HoldsClassInterface(HostClassId id);

// Holds every host class, in order, for its own lifetime (one module-level instance).
class HostClassesUse {
  public:
    HostClassesUse();
    ~HostClassesUse();
    HostClassesUse(const HostClassesUse&) = delete;
    HostClassesUse& operator=(const HostClassesUse&) = delete;
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_HOSTCLASSES_H
