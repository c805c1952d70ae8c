#include "plugin/PlugInLifecycle.h"

#include "plugin/ErrorManager.h"
#include "plugin/ErrorReporting.h"
#include "plugin/HostBinding.h"
#include "plugin/PlugInMain.h"

namespace Gatan {
namespace PlugIn {
namespace {

// The host is asked directly: a version check needs no context.
void RequireHostVersion() {
    HostInterface* host = CurrentHost();
    if (host == nullptr || host->table->GetVersion(host) < kMinimumHostVersion)
        RaiseErrorText("This plugin requires DM 3.8.0 or later.");
}

void Start(PlugInMain& mainObject) {
    RequireHostVersion();
    mainObject.MemoryBuffer().Register(&mainObject);
    mainObject.Startup();
}

void ShutDown(PlugInMain& mainObject) {
    mainObject.Shutdown();
    mainObject.RemoveAllFunctions();
    mainObject.MemoryBuffer().Unregister();
}

// The exception boundary of every export: no context of the host's own is at hand, so
// the report goes to one of the module's.
template <typename Step>
void WithinBoundary(Step step) noexcept {
    try {
        step();
    } catch (...) {
        ReportCurrentExceptionToHost(nullptr);
    }
}

}  // namespace

void StartPlugIn() noexcept {
    WithinBoundary([] {
        PlugInMain& mainObject = PlugInMain::GetMainObject();
        LinkPendingHost();
        Start(mainObject);
    });
}

void RunPlugIn() noexcept {
    WithinBoundary([] { PlugInMain::GetMainObject().Run(); });
}

void CleanupPlugIn() noexcept {
    WithinBoundary([] { PlugInMain::GetMainObject().Cleanup(); });
}

void ShutdownPlugIn() noexcept {
    WithinBoundary([] { ShutDown(PlugInMain::GetMainObject()); });
}

}  // namespace PlugIn
}  // namespace Gatan
