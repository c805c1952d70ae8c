// `xrayutils icec FILE1 FILE2`: imports both files with Zor_EMSAtoDM and prints the
// contamination report of Zor_NiOxIceC exactly as returned.
#include "cli/ArgumentParser.h"
#include "cli/ImportedSpectrum.h"
#include "cli/Session.h"
#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

int RunIceC(const std::vector<std::string>& arguments, CommandContext& context) {
    const ParsedArguments parsed = ParseArguments(arguments, ArgumentSpec{2, {}, {}});
    const dmhost::ObjectRef first = ImportSpectrumFile(context.session, parsed.plain[0]);
    const dmhost::ObjectRef second = ImportSpectrumFile(context.session, parsed.plain[1]);
    const dmhost::ScriptResult report = context.session.Call(
        "Zor_NiOxIceC",
        {dmhost::ScriptValue::Image(first.get()), dmhost::ScriptValue::Image(second.get())});
    context.out << report.text << std::flush;
    return 0;
}

}  // namespace

const SubCommand kIceCCommand = {
    "icec", "FILE1 FILE2", "ice and carbon contamination difference (Zor_NiOxIceC)",
    "Imports the EMSA/MAS files FILE1 and FILE2 with Zor_EMSAtoDM, runs Zor_NiOxIceC on\n"
    "them and prints the report exactly as returned: the difference in ice and carbon\n"
    "layer thickness between the two spectra, with 1, 2 and 3 sigma errors, in nm.",
    RunIceC};

}  // namespace xrayutils
