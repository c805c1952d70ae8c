#include "cli/Session.h"

#include <utility>

namespace xrayutils {

Session::Session(std::string module_path, std::ostream& results)
    : module_path_(std::move(module_path)), results_(results) {}

Session::~Session() {
    Close();
}

dmhost::StandInHost& Session::Host() {
    if (module_ == nullptr) {
        module_ = std::make_unique<dmhost::HostedModule>(host_, module_path_);
        CopyResults();
        if (host_.HasPendingException()) {
            const std::string message = host_.PendingExceptionMessage();
            host_.ClearPendingException();
            throw std::runtime_error("the module did not start: " + message);
        }
    }
    return host_;
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
    if (module_ == nullptr)
        return;
    module_->Close();
    module_.reset();
    CopyResults();
}

void Session::CopyResults() {
    if (host_.ResultsText().empty())
        return;
    results_ << host_.ResultsText() << std::flush;
    host_.ClearResults();
}

}  // namespace xrayutils
