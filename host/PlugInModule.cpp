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
    : path_(path), library_(std::make_unique<ModuleLibrary>(path)) {
    get_version_ = Export<DMPlugIn_GetVersion_Function>(*library_, path, "DMPlugIn_GetVersion");
    link_ = Export<DMPlugIn_Link_2_Function>(*library_, path, "DMPlugIn_Link_2");
    startup_ = Export<PlugIn_Lifecycle_Function>(*library_, path, "PlugInStartup");
    run_ = Export<PlugIn_Lifecycle_Function>(*library_, path, "PlugInRun");
    cleanup_ = Export<PlugIn_Lifecycle_Function>(*library_, path, "PlugInCleanup");
    shutdown_ = Export<PlugIn_Lifecycle_Function>(*library_, path, "PlugInShutdown");
}

PlugInModule::~PlugInModule() = default;

void PlugInModule::RequireLoaded() const {
    if (!library_)
        throw std::logic_error(path_ + " is not loaded");
}

int32_t PlugInModule::GetVersion() const {
    RequireLoaded();
    return get_version_();
}

void PlugInModule::Link(HostInterface* host) const {
    RequireLoaded();
    link_(host);
}

void PlugInModule::Startup() const {
    RequireLoaded();
    startup_();
}

void PlugInModule::Run() const {
    RequireLoaded();
    run_();
}

void PlugInModule::Cleanup() const {
    RequireLoaded();
    cleanup_();
}

void PlugInModule::Shutdown() const {
    RequireLoaded();
    shutdown_();
}

void PlugInModule::Unload() {
    library_.reset();
}

bool PlugInModule::IsLoaded() const {
    return library_ != nullptr;
}

// ---- HostedModule ----

HostedModule::HostedModule(StandInHost& host, const std::string& path)
    : host_(host), module_(path) {
    const int32_t protocol = module_.GetVersion();
    if (protocol != 2) {
        throw std::runtime_error(path + " speaks linking protocol " + std::to_string(protocol) +
                                 ", not 2");
    }
    module_.Link(host_.Interface());
    module_.Startup();
    module_.Run();
}

HostedModule::~HostedModule() {
    Close();
}

void HostedModule::Close() {
    if (!module_.IsLoaded())
        return;
    module_.Cleanup();
    module_.Shutdown();
    module_.Unload();
}

}  // namespace dmhost
