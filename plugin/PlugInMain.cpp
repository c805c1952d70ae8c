#include "plugin/PlugInMain.h"

namespace Gatan {
namespace PlugIn {
namespace {

PlugInMain* sMainObject = nullptr;

}  // namespace

PlugInMain::PlugInMain() {
    sMainObject = this;
}

PlugInMain::~PlugInMain() {
    RemoveAllFunctions();
    if (sMainObject == this)
        sMainObject = nullptr;
}

// The main object's own use of the binding keeps a current host for these two.
void PlugInMain::AddFunction(const char* signature, DM_EntryPoint entry) {
    // Room first, so that a function the host installed is never left out of the list.
    fFunctions.reserve(fFunctions.size() + 1);
    HostInterface* host = CurrentHost();
    fFunctions.push_back(Function::TakeOver(
        host->table->InstallFunction(host, 0, 0, signature, DM_FUNCTION_PLAIN, entry)));
}

void PlugInMain::RemoveAllFunctions() noexcept {
    while (!fFunctions.empty()) {
        HostInterface* host = CurrentHost();
        host->table->UninstallFunction(host, fFunctions.back().get());
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
