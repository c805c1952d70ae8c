// MemoryBufferRegistration: the module's memory-buffer script class as registered with the
// host (its methods are MemoryBufferClass's).
//
// Register names the class after the main object's address, forgets the cached class
// indices, registers the class (the ScriptClass the host returns is given back at once) and
// adds its two methods, LockMemory and UnlockMemory, as flags-4 callbacks. Unregister asks
// the host to remove the class by the same name; it asks every time it is called. Both throw
// what the host calls behind them throw (dmplugin_exception).
#ifndef XRAY_PLUGIN_MEMORYBUFFERREGISTRATION_H
#define XRAY_PLUGIN_MEMORYBUFFERREGISTRATION_H

namespace Gatan {
namespace PlugIn {

class MemoryBufferRegistration {
  public:
    void Register(const void* mainObject);
    void Unregister();
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_MEMORYBUFFERREGISTRATION_H
