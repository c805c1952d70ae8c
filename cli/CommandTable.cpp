#include "cli/Command.h"

namespace xrayutils {

std::vector<std::unique_ptr<Command>> MakeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    for (auto make : {MakeVersionCommand, MakeOpenCommand, MakeImportCommand, MakeFilterCommand,
                      MakeNiOxCommand, MakeIceCCommand, MakeSimulateNiOxCommand})
        commands.push_back(make());
#ifdef XRAY_WITH_PICTURES
    for (auto make : {MakePlotCommand, MakeReportCommand})
        commands.push_back(make());
#endif
    return commands;
}

}  // namespace xrayutils
