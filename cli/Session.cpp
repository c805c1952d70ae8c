#include "cli/Session.h"

#include <utility>

namespace xrayutils {

Session::Session(std::string modulePath, std::ostream& results)
    : fModulePath(std::move(modulePath)), fResults(results) {}

Session::~Session() {
    Close();
}

dmhost::StandInHost& Session::Host() {
    if (fModule == nullptr) {
        fModule = std::make_unique<dmhost::HostedModule>(fHost, fModulePath);
        CopyResults();
        if (fHost.HasPendingException()) {
            const std::string message = fHost.PendingExceptionMessage();
            fHost.ClearPendingException();
            throw std::runtime_error("the module did not start: " + message);
        }
    }
    return fHost;
}

dmhost::ScriptResult Session::Call(std::string_view name,
                                   const std::vector<dmhost::ScriptValue>& args) {
    dmhost::ScriptResult result = Host().CallScriptFunction(name, args);
    CopyResults();
    if (result.failed)
        throw ScriptError(result.error);
    return result;
}

void Session::Close() {
    if (fModule == nullptr)
        return;
    fModule->Close();
    fModule.reset();
    CopyResults();
}

void Session::CopyResults() {
    if (fHost.ResultsText().empty())
        return;
    fResults << fHost.ResultsText() << std::flush;
    fHost.ClearResults();
}

}  // namespace xrayutils
