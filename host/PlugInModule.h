// PlugInModule: a plug-in module loaded from a shared library and driven through its six
// exports, in the order the host uses them.
//
// Loading resolves DMPlugIn_GetVersion, DMPlugIn_Link_2, PlugInStartup, PlugInRun,
// PlugInCleanup and PlugInShutdown and throws std::runtime_error naming the library and
// the loader's message, or the first export that is missing. Unload (or destruction)
// closes the library; the module's module-level objects are destroyed then, and they give
// back their references to the host, so the host must outlive the module.
//
// HostedModule drives the whole lifecycle: load, GetVersion (must be 2), Link_2 with the
// host's interface, Startup, Run; and on Close (or destruction) Cleanup, Shutdown, unload.
// Each export reports its own failures as the host's pending exception; read it from the
// host after each step.
#ifndef XRAY_HOST_PLUGINMODULE_H
#define XRAY_HOST_PLUGINMODULE_H

#include <cstdint>
#include <memory>
#include <string>

#include "interface/DMPlugInInterface.h"

namespace xray::port {
class ModuleLibrary;
}

namespace dmhost {

using xray::port::ModuleLibrary;
class StandInHost;

class PlugInModule {
  public:
    explicit PlugInModule(const std::string& path);
    ~PlugInModule();
    PlugInModule(const PlugInModule&) = delete;
    PlugInModule& operator=(const PlugInModule&) = delete;

    int32_t GetVersion() const;
    void Link(HostInterface* host) const;
    void Startup() const;
    void Run() const;
    void Cleanup() const;
    void Shutdown() const;

    // Closes the library; every call above then throws std::logic_error.
    void Unload();
    bool IsLoaded() const;
    const std::string& path() const { return fPath; }

  private:
    void RequireLoaded() const;

    std::string fPath;
    std::unique_ptr<ModuleLibrary> fLibrary;
    DMPlugIn_GetVersion_Function fGetVersion = nullptr;
    DMPlugIn_Link_2_Function fLink = nullptr;
    PlugIn_Lifecycle_Function fStartup = nullptr;
    PlugIn_Lifecycle_Function fRun = nullptr;
    PlugIn_Lifecycle_Function fCleanup = nullptr;
    PlugIn_Lifecycle_Function fShutdown = nullptr;
};

class HostedModule {
  public:
    // Loads and starts the module; throws std::runtime_error when it cannot be loaded or
    // its linking protocol is not version 2.
    HostedModule(StandInHost& host, const std::string& path);
    ~HostedModule();
    HostedModule(const HostedModule&) = delete;
    HostedModule& operator=(const HostedModule&) = delete;

    // Cleanup, Shutdown and unload; a second Close does nothing.
    void Close();
    PlugInModule& module() { return fModule; }

  private:
    StandInHost& fHost;
    PlugInModule fModule;
};

}  // namespace dmhost

#endif  // XRAY_HOST_PLUGINMODULE_H
