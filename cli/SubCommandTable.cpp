#include "cli/SubCommand.h"

namespace xrayutils {

const std::vector<const SubCommand*>& SubCommands() {
    static const std::vector<const SubCommand*> table = {
        &kVersionCommand,
        &kOpenCommand,
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

void RequireArgumentCount(const std::vector<std::string>& arguments, std::size_t count) {
    for (const std::string& argument : arguments) {
        if (argument.size() > 1 && argument[0] == '-')
            throw UsageError("unknown option " + argument);
    }
    if (arguments.size() < count)
        throw UsageError("missing argument");
    if (arguments.size() > count)
        throw UsageError("unexpected argument " + arguments[count]);
}

}  // namespace xrayutils
