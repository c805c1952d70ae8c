// `xrayutils import FILE [--csv OUT] [--emsa OUT]`: Zor_EMSAtoDM on FILE; prints the image
// it returns and optionally writes it out as CSV or as an EMSA/MAS file.
#include <CLI/CLI.hpp>

#include "cli/Command.h"
#include "cli/ImageDescription.h"
#include "cli/ImageFiles.h"
#include "cli/Session.h"

namespace xrayutils {
namespace {

class ImportCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("import");
        command.description("import an EMSA/MAS spectrum file and print the image with its tags");
        command.footer(
            "Calls the module's Zor_EMSAtoDM with FILE and prints the image it returns, one "
            "line each: Name, Channels, Origin, Scale, Units (the energy calibration: the "
            "energy of channel i is origin + scale x i), Intensity unit, then Tags: and the "
            "whole tag tree, indented two blanks per level, one \"Label: value\" per line, list "
            "items labelled [0], [1], ... Numbers have enough digits to read back unchanged. A "
            "file that cannot be opened gives the module's Results line and then the host's "
            "error (it makes no empty image).");
        command.add_option("FILE", fFile, "an EMSA/MAS spectrum file")->type_name("")->required();
        command.add_option("--csv", fCsv, "also write the rows channel,energy,value to OUT")
            ->type_name("OUT");
        command
            .add_option("--emsa", fEmsa,
                        "also write the image as a standard-layout EMSA/MAS file to OUT, which "
                        "imports back to the same values")
            ->type_name("OUT");
    }

    int Run(CommandContext& context) override {
        const dmhost::ScriptResult result =
            context.session.Call("Zor_EMSAtoDM", {dmhost::ScriptValue::String(fFile)});
        // The values are copied out only to be written; the description needs only their count.
        const bool written = !fCsv.empty() || !fEmsa.empty();
        const dmhost::ImageSnapshot image = context.session.Host().ReadImage(
            result.value.get(), written ? dmhost::StandInHost::ImageValues::kWithValues
                                        : dmhost::StandInHost::ImageValues::kWithoutValues);
        DescribeImage(image, context.out);
        if (!fCsv.empty())
            WriteImageCsv(image, fCsv);
        if (!fEmsa.empty())
            WriteImageEmsa(image, fEmsa);
        return kSuccess;
    }

  private:
    std::string fFile;
    std::string fCsv;
    std::string fEmsa;
};

}  // namespace

std::unique_ptr<Command> MakeImportCommand() {
    return std::make_unique<ImportCommand>();
}

}  // namespace xrayutils
