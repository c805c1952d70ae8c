// `xrayutils open TEXT`: XUtilsShellExec, which hands TEXT to the desktop shell.
#include "cli/ArgumentParser.h"
#include "cli/Session.h"
#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

int RunOpen(const std::vector<std::string>& arguments, CommandContext& context) {
    const ParsedArguments parsed = ParseArguments(arguments, ArgumentSpec{1, {}, {}});
    context.session.Call("XUtilsShellExec", {dmhost::ScriptValue::String(parsed.plain[0])});
    return 0;
}

}  // namespace

const SubCommand kOpenCommand = {
    "open", "TEXT", "hand TEXT (a file or document path) to the desktop shell",
    "Calls the module's XUtilsShellExec with TEXT, which hands it to the desktop shell to\n"
    "open (xdg-open off Windows, as one argument: it is never run as a command). Whether\n"
    "the shell can open it is not reported; nothing is printed.",
    RunOpen};

}  // namespace xrayutils
