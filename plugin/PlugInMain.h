// PlugInMain: the module's main object, which receives the host's lifecycle calls.
//
// Gatan::Win32::PlugInMain holds one use of the host binding for its lifetime.
// Gatan::PlugIn::PlugInMain adds a reference on the module's library data (its error
// manager and allocation-failure handler), the list of script functions it installed (one
// Function reference each, in installation order) and the memory-buffer class registration.
// Its constructor makes it the main object; its destructor removes whatever functions are
// still installed and stops being the main object. A module has one main object at a time,
// constructed when the module loads and destroyed when it unloads; Startup, Run, Cleanup and
// Shutdown are what a module's own main object overrides (here they do nothing).
//
// The constructor raises the assertion "sPlugInLibraryData != NULL" (28803) when the library
// data cannot be made; AddFunction throws std::bad_alloc when the list cannot grow, before
// asking the host; nothing else here throws. One thread at a time.
#ifndef XRAY_PLUGIN_PLUGINMAIN_H
#define XRAY_PLUGIN_PLUGINMAIN_H

#include <vector>

#include "interface/DMPlugInInterface.h"
#include "plugin/HostBinding.h"
#include "plugin/HostClasses.h"
#include "plugin/HostHandles.h"
#include "plugin/MemoryBufferRegistration.h"
#include "plugin/PlugInUtility.h"

namespace Gatan {
namespace Win32 {

class PlugInMain {
  public:
    PlugInMain(const PlugInMain&) = delete;
    PlugInMain& operator=(const PlugInMain&) = delete;

  protected:
    PlugInMain() = default;
    ~PlugInMain() = default;

  private:
    PlugIn::HostUse fHostUse;
};

}  // namespace Win32

namespace PlugIn {

class PlugInMain : public Win32::PlugInMain {
  public:
    PlugInMain();
    virtual ~PlugInMain();
    virtual void Startup() {}
    virtual void Run() {}
    virtual void Cleanup() {}
    virtual void Shutdown() {}

    // Installs a script function (flags 3) and keeps the handle the host returns, null or
    // not, at the end of the list.
    void AddFunction(const char* signature, DM_EntryPoint entry);
    // Uninstalls and releases the listed functions, last installed first.
    void RemoveAllFunctions() noexcept;
    const std::vector<Function>& InstalledFunctions() const { return fFunctions; }

    MemoryBufferRegistration& MemoryBuffer() { return fMemoryBuffer; }

    // The main object; a do-nothing PlugInMain, made on first request and kept until
    // unload, when the module has none.
    static PlugInMain& GetMainObject();
    static const PlugInCallbacks& GetCallbacks() { return PlugIn::GetCallbacks(); }

  private:
    PlugInLibraryReference fLibraryData;
    // The class interfaces the listed handles are released through, held so that they
    // outlive the list whatever order the module's objects are destroyed in at unload.
    HostClassesUse fClasses;
    std::vector<Function> fFunctions;
    MemoryBufferRegistration fMemoryBuffer;
};

}  // namespace PlugIn
}  // namespace Gatan

#endif  // XRAY_PLUGIN_PLUGINMAIN_H
