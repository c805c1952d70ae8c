// `xrayutils open TEXT`: XUtilsShellExec, which hands TEXT to the desktop shell.
#include <CLI/CLI.hpp>

#include "cli/Command.h"
#include "cli/Session.h"

namespace xrayutils {
namespace {

class OpenCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("open");
        command.description("hand TEXT (a file or document path) to the desktop shell");
        command.footer(
            "Calls the module's XUtilsShellExec with TEXT, which hands it to the desktop shell "
            "to open (xdg-open off Windows, as one argument: it is never run as a command). "
            "Whether the shell can open it is not reported; nothing is printed.");
        command.add_option("TEXT", fText, "a file or document path")->type_name("")->required();
    }

    int Run(CommandContext& context) override {
        context.session.Call("XUtilsShellExec", {dmhost::ScriptValue::String(fText)});
        return kSuccess;
    }

  private:
    std::string fText;
};

}  // namespace

std::unique_ptr<Command> MakeOpenCommand() {
    return std::make_unique<OpenCommand>();
}

}  // namespace xrayutils
