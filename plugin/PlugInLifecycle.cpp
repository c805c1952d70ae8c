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

void Start(PlugInMain& main_object) {
    RequireHostVersion();
    main_object.MemoryBuffer().Register(&main_object);
    main_object.Startup();
}

void ShutDown(PlugInMain& main_object) {
    main_object.Shutdown();
    main_object.RemoveAllFunctions();
    main_object.MemoryBuffer().Unregister();
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
        PlugInMain& main_object = PlugInMain::GetMainObject();
        LinkPendingHost();
        Start(main_object);
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
