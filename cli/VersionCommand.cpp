// `xrayutils version`: the text Zor_XrayUtilsVersion returns.
#include <CLI/CLI.hpp>

#include "cli/Command.h"
#include "cli/Session.h"

namespace xrayutils {
namespace {

class VersionCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("version");
        command.description("print the module's version text");
        command.footer(
            "Prints the text the module's Zor_XrayUtilsVersion returns, followed by a line "
            "break.");
    }

    int Run(CommandContext& context) override {
        context.out << context.session.Call("Zor_XrayUtilsVersion", {}).text << '\n';
        return kSuccess;
    }
};

}  // namespace

std::unique_ptr<Command> MakeVersionCommand() {
    return std::make_unique<VersionCommand>();
}

}  // namespace xrayutils
