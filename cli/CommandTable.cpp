#include "cli/Command.h"

namespace xrayutils {

std::vector<std::unique_ptr<Command>> MakeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    for (auto make : {MakeVersionCommand, MakeOpenCommand, MakeImportCommand, MakeFilterCommand,
                      MakeNiOxCommand, MakeIceCCommand, MakeSimulateNiOxCommand})
        commands.push_back(make());
#ifdef XRAY_WITH_QC
    commands.insert(commands.end() - 1, MakeQcCommand());  // before simulate-niox
#endif
    return commands;
}

}  // namespace xrayutils
