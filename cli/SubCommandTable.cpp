#include "cli/SubCommand.h"

namespace xrayutils {

const std::vector<const SubCommand*>& SubCommands() {
    static const std::vector<const SubCommand*> table = {
        &kVersionCommand, &kOpenCommand, &kNiOxCommand, &kIceCCommand, &kSimulateNiOxCommand,
    };
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
