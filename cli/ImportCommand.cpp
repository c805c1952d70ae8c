// `xrayutils import FILE [--csv OUT] [--emsa OUT]`: Zor_EMSAtoDM on FILE; prints the image
// it returns and optionally writes it out as CSV or as an EMSA/MAS file.
#include "cli/ArgumentParser.h"
#include "cli/ImageDescription.h"
#include "cli/ImageFiles.h"
#include "cli/Session.h"
#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

int RunImport(const std::vector<std::string>& arguments, CommandContext& context) {
    const ParsedArguments parsed =
        ParseArguments(arguments, ArgumentSpec{1, {}, {"--csv", "--emsa"}});
    const dmhost::ScriptResult result =
        context.session.Call("Zor_EMSAtoDM", {dmhost::ScriptValue::String(parsed.plain[0])});
    // The values are copied out only to be written; the description needs only their count.
    const bool written = parsed.Value("--csv") || parsed.Value("--emsa");
    const dmhost::ImageSnapshot image = context.session.Host().ReadImage(
        result.value.get(), written ? dmhost::StandInHost::ImageValues::kWithValues
                                    : dmhost::StandInHost::ImageValues::kWithoutValues);
    DescribeImage(image, context.out);
    if (const std::optional<std::string> csv = parsed.Value("--csv"))
        WriteImageCsv(image, *csv);
    if (const std::optional<std::string> emsa = parsed.Value("--emsa"))
        WriteImageEmsa(image, *emsa);
    return 0;
}

}  // namespace

const SubCommand kImportCommand = {
    "import", "FILE [--csv OUT] [--emsa OUT]",
    "import an EMSA/MAS spectrum file and print the image with its tags",
    "Calls the module's Zor_EMSAtoDM with FILE and prints the image it returns, one line\n"
    "each: Name, Channels, Origin, Scale, Units (the energy calibration: the energy of\n"
    "channel i is origin + scale x i), Intensity unit, then Tags: and the whole tag tree,\n"
    "indented two blanks per level, one \"Label: value\" per line, list items labelled [0],\n"
    "[1], ... Numbers have enough digits to read back unchanged.\n"
    "  --csv OUT    also write the rows channel,energy,value to OUT\n"
    "  --emsa OUT   also write the image as a standard-layout EMSA/MAS file to OUT, which\n"
    "               imports back to the same values\n"
    "A file that cannot be opened gives the module's Results line and then the host's\n"
    "error (it makes no empty image).",
    RunImport};

}  // namespace xrayutils
