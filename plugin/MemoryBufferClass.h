// MemoryBufferClass: the module's memory-buffer script class, as far as the host sees it.
//
// The class name is "<main object address>_pluginmemorybuffer", formatted once per
// registration into a module-level buffer so that removal uses the same text. The host
// creates and destroys objects through the two object entry points and calls the two
// methods (LockMemory, UnlockMemory) with flags 4: a context, an ignored value and the
// argument cells. A method finds the module's object behind its ScriptObject argument
// through the host (two cached class indices, reset at each registration) and reports
// "Attempt to dispatch off a null object." when there is none. This module creates no
// objects, so that is what every method call reports. No entry point lets an exception
// reach the host: failures become the context's pending exception.
#ifndef XRAY_PLUGIN_MEMORYBUFFERCLASS_H
#define XRAY_PLUGIN_MEMORYBUFFERCLASS_H

#include <cstdint>

#include "interface/DMPlugInInterface.h"

namespace Gatan {
namespace PlugIn {

// An object of the class, as the methods use it.
class PlugInMemoryBuffer {
  public:
    virtual ~PlugInMemoryBuffer() = default;
    virtual void* LockMemory(uint32_t* size, void** lockData) = 0;
    virtual void UnlockMemory(void* lockData) = 0;
};

namespace MemoryBufferClass {

extern const char* const kLockMemorySignature;
extern const char* const kUnlockMemorySignature;

// Formats the class name from the main object's address and keeps it; returns it.
const char* FormatName(const void* mainObject);
// The name last formatted (empty before the first).
const char* Name();

// Registration starts with no cached class indices.
void ResetClassIndices();

void* DM_CDECL CreateObject();
void DM_CDECL DestroyObject(void* object);
void DM_CDECL LockMemoryEntry(HostContext* context, void* ignored, ArgumentCell* cells);
void DM_CDECL UnlockMemoryEntry(HostContext* context, void* ignored, ArgumentCell* cells);

}  // namespace MemoryBufferClass
}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_MEMORYBUFFERCLASS_H
