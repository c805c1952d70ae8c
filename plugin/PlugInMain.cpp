#include "plugin/PlugInMain.h"

#include "plugin/HostScope.h"

namespace Gatan {
namespace PlugIn {
namespace {

PlugInMain* sMainObject = nullptr;

}  // namespace

PlugInMain::PlugInMain() {
    sMainObject = this;
}

PlugInMain::~PlugInMain() {
    try {
        RemoveAllFunctions();
    } catch (...) {
        // Unloading reports nothing; the list still gives back its references below.
    }
    if (sMainObject == this)
        sMainObject = nullptr;
}

void PlugInMain::AddFunction(const char* signature, DM_EntryPoint entry) {
    HostScope scope;
    HostInterface* host = scope.host();
    fFunctions.push_back(Function::TakeOver(
        host->table->InstallFunction(host, 0, 0, signature, DM_FUNCTION_PLAIN, entry)));
}

void PlugInMain::RemoveAllFunctions() {
    while (!fFunctions.empty()) {
        {
            HostScope scope;
            scope.host()->table->UninstallFunction(scope.host(), fFunctions.back().get());
        }
        fFunctions.pop_back();
    }
}

PlugInMain& PlugInMain::GetMainObject() {
    if (sMainObject != nullptr)
        return *sMainObject;
    static PlugInMain sDefaultMainObject;
    return sDefaultMainObject;
}

}  // namespace PlugIn
}  // namespace Gatan
