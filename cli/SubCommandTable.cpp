#include "cli/SubCommand.h"

namespace xrayutils {

const std::vector<const SubCommand*>& SubCommands() {
    // One line per sub-command, in the order the usage lists them.
    // clang-format off
    static const std::vector<const SubCommand*> table = {
        &kVersionCommand,
        &kOpenCommand,
        &kImportCommand,
        &kFilterCommand,
        &kNiOxCommand,
        &kIceCCommand,
        &kSimulateNiOxCommand,
    };
    // clang-format on
    return table;
}

const SubCommand* FindSubCommand(const std::string& name) {
    for (const SubCommand* command : SubCommands()) {
        if (name == command->name)
            return command;
    }
    return nullptr;
}

}  // namespace xrayutils
