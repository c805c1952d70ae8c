// Session: the module loaded into a stand-in host for one run of the program.
//
// The module is loaded, linked, started and run when a sub-command first asks for the host
// (so a command line that is not understood never loads it), and cleaned up, shut down and
// unloaded by Close or destruction. Text the module writes to the host's Results window is
// copied to `results` after every step. The host outlives the module.
//
// Throws std::runtime_error when the module cannot be loaded or its start-up fails (with
// the host's message), and ScriptError when a script function leaves a pending exception.
#ifndef XRAY_CLI_SESSION_H
#define XRAY_CLI_SESSION_H

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/PlugInModule.h"
#include "host/StandInHost.h"

namespace xrayutils {

// A script function failed; the message is the host's, as a script user would see it.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class Session {
  public:
    Session(std::string modulePath, std::ostream& results);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The started host.
    dmhost::StandInHost& Host();
    // Calls a script function; throws ScriptError when it fails.
    dmhost::ScriptResult Call(std::string_view name, const std::vector<dmhost::ScriptValue>& args);
    void Close();

  private:
    void CopyResults();

    std::string fModulePath;
    std::ostream& fResults;
    dmhost::StandInHost fHost;
    std::unique_ptr<dmhost::HostedModule> fModule;
};

}  // namespace xrayutils

#endif  // XRAY_CLI_SESSION_H
