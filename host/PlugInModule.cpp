#include "host/PlugInModule.h"

#include <stdexcept>

#include "host/StandInHost.h"
#include "port/ModuleLibrary.h"

namespace dmhost {
namespace {

template <class F>
F Export(const ModuleLibrary& library, const std::string& path, const char* name) {
    void* address = library.Symbol(name);
    if (address == nullptr)
        throw std::runtime_error(path + " does not export " + name);
    return reinterpret_cast<F>(address);
}

}  // namespace

PlugInModule::PlugInModule(const std::string& path)
    : fPath(path), fLibrary(std::make_unique<ModuleLibrary>(path)) {
    fGetVersion = Export<DMPlugIn_GetVersion_Function>(*fLibrary, path, "DMPlugIn_GetVersion");
    fLink = Export<DMPlugIn_Link_2_Function>(*fLibrary, path, "DMPlugIn_Link_2");
    fStartup = Export<PlugIn_Lifecycle_Function>(*fLibrary, path, "PlugInStartup");
    fRun = Export<PlugIn_Lifecycle_Function>(*fLibrary, path, "PlugInRun");
    fCleanup = Export<PlugIn_Lifecycle_Function>(*fLibrary, path, "PlugInCleanup");
    fShutdown = Export<PlugIn_Lifecycle_Function>(*fLibrary, path, "PlugInShutdown");
}

PlugInModule::~PlugInModule() = default;

void PlugInModule::RequireLoaded() const {
    if (!fLibrary)
        throw std::logic_error(fPath + " is not loaded");
}

int32_t PlugInModule::GetVersion() const {
    RequireLoaded();
    return fGetVersion();
}

void PlugInModule::Link(HostInterface* host) const {
    RequireLoaded();
    fLink(host);
}

void PlugInModule::Startup() const {
    RequireLoaded();
    fStartup();
}

void PlugInModule::Run() const {
    RequireLoaded();
    fRun();
}

void PlugInModule::Cleanup() const {
    RequireLoaded();
    fCleanup();
}

void PlugInModule::Shutdown() const {
    RequireLoaded();
    fShutdown();
}

void PlugInModule::Unload() {
    fLibrary.reset();
}

bool PlugInModule::IsLoaded() const {
    return fLibrary != nullptr;
}

// ---- HostedModule ----

HostedModule::HostedModule(StandInHost& host, const std::string& path)
    : fHost(host), fModule(path) {
    const int32_t protocol = fModule.GetVersion();
    if (protocol != 2) {
        throw std::runtime_error(path + " speaks linking protocol " + std::to_string(protocol) +
                                 ", not 2");
    }
    fModule.Link(fHost.Interface());
    fModule.Startup();
    fModule.Run();
}

HostedModule::~HostedModule() {
    Close();
}

void HostedModule::Close() {
    if (!fModule.IsLoaded())
        return;
    fModule.Cleanup();
    fModule.Shutdown();
    fModule.Unload();
}

}  // namespace dmhost
