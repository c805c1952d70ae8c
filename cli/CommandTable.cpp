#include "cli/Command.h"

namespace xrayutils {

std::vector<std::unique_ptr<Command>> MakeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    for (auto make : {MakeVersionCommand, MakeOpenCommand, MakeImportCommand, MakeFilterCommand,
                      MakeNiOxCommand, MakeIceCCommand})
        commands.push_back(make());
#ifdef XRAY_WITH_QC
    commands.push_back(MakeQcCommand());
#endif
#ifdef XRAY_WITH_PICTURES
    commands.push_back(MakePlotCommand());
    commands.push_back(MakeReportCommand());
#endif
    commands.push_back(MakeSimulateNiOxCommand());
    return commands;
}

}  // namespace xrayutils
