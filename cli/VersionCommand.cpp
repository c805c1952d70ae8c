// `xrayutils version`: the text Zor_XrayUtilsVersion returns.
#include "cli/ArgumentParser.h"
#include "cli/Session.h"
#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

int RunVersion(const std::vector<std::string>& arguments, CommandContext& context) {
    ParseArguments(arguments, ArgumentSpec{});
    context.out << context.session.Call("Zor_XrayUtilsVersion", {}).text << '\n';
    return 0;
}

}  // namespace

const SubCommand kVersionCommand = {
    "version", "", "print the module's version text",
    "Prints the text the module's Zor_XrayUtilsVersion returns, followed by a line break.",
    RunVersion};

}  // namespace xrayutils
