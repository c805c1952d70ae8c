// `xrayutils filter FILE --type T [--resolution EV] [--csv OUT] [--emsa OUT]`: imports FILE
// with Zor_EMSAtoDM, filters it with Zor_SpectrumFilter and prints the filtered image as
// `import` prints an image, optionally writing it out as CSV or as an EMSA/MAS file.
#include <CLI/CLI.hpp>

#include <array>
#include <charconv>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "cli/ImageDescription.h"
#include "cli/ImageFiles.h"
#include "cli/ImportedSpectrum.h"
#include "cli/Session.h"

namespace xrayutils {
namespace {

// The filter types by their command-line names, type 1 first.
constexpr std::array<const char*, 4> kFilterNames = {"first-derivative", "second-derivative",
                                                     "fixed-tophat", "variable-tophat"};

// A name, or a number, which the module itself judges: an unknown type is the script's error.
uint32_t ParseFilterType(const std::string& text) {
    for (std::size_t k = 0; k < kFilterNames.size(); ++k) {
        if (text == kFilterNames[k])
            return static_cast<uint32_t>(k + 1);
    }
    uint32_t type = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), type);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError(
            "--type needs 1-4 or one of first-derivative, second-derivative, fixed-tophat, "
            "variable-tophat, not '" +
            text + "'");
    return type;
}

// The member of `group` labelled like `fresh`, made (last) from `fresh` when there is none
// and replaced by it when it is of another kind.
dmhost::TagValue& Member(dmhost::TagValue& group, const dmhost::TagValue& fresh) {
    for (dmhost::TagValue& member : group.members) {
        if (member.label != fresh.label)
            continue;
        if (member.kind != fresh.kind)
            member = fresh;
        return member;
    }
    group.members.push_back(fresh);
    return group.members.back();
}

// The spectrum again, as a new image whose "EDS:Detector info:Energy resolution" is set, the
// way a user sets that tag on an imported spectrum before filtering it.
dmhost::ObjectRef WithResolution(dmhost::StandInHost& host, const dmhost::ObjectRef& spectrum,
                                 double resolutionEv) {
    dmhost::ImageSnapshot image = host.ReadImage(spectrum.get());
    dmhost::TagValue& eds = Member(image.tags, dmhost::TagValue::Group("EDS"));
    dmhost::TagValue& detector = Member(eds, dmhost::TagValue::Group("Detector info"));
    Member(detector, dmhost::TagValue::Double("Energy resolution", 0.0)).doubleValue = resolutionEv;
    dmhost::ImageSpec spec;
    spec.name = image.name;
    spec.dataType = image.dataType;
    spec.dimensions = image.dimensions;
    spec.values = image.values;
    spec.calibrations = image.calibrations;
    spec.intensityUnit = image.intensityUnit;
    spec.tags = image.tags.members;
    return host.MakeImage(spec);
}

class FilterCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("filter");
        command.description("filter a spectrum (Zor_SpectrumFilter)");
        command.footer(
            "Imports the EMSA/MAS file FILE with Zor_EMSAtoDM, filters it with "
            "Zor_SpectrumFilter and prints the filtered image as import does (its "
            "\"Processing\" record included).");
        command.add_option("FILE", fFile, "an EMSA/MAS spectrum file")->type_name("")->required();
        command
            .add_option("--type", fType,
                        "1 or first-derivative, 2 or second-derivative, 3 or fixed-tophat, 4 or "
                        "variable-tophat")
            ->type_name("T")
            ->required();
        command
            .add_option("--resolution", fResolutionEv,
                        "set \"EDS:Detector info:Energy resolution\" (eV) on the imported "
                        "spectrum first; the top-hats (3, 4) need it, and the import does not "
                        "write it")
            ->type_name("EV");
        command.add_option("--csv", fCsv, "also write the rows channel,energy,value to OUT")
            ->type_name("OUT");
        command.add_option("--emsa", fEmsa, "also write the image as an EMSA/MAS file to OUT")
            ->type_name("OUT");
    }

    int Run(CommandContext& context) override {
        const uint32_t type = ParseFilterType(fType);
        Session& session = context.session;
        dmhost::ObjectRef spectrum = ImportSpectrumFile(session, fFile);
        if (fResolutionEv)
            spectrum = WithResolution(session.Host(), spectrum, *fResolutionEv);
        dmhost::ObjectRef filtered(session.Host());
        session.Call("Zor_SpectrumFilter",
                     {dmhost::ScriptValue::Image(spectrum.get()), dmhost::ScriptValue::Number(type),
                      dmhost::ScriptValue::Output(filtered)});
        const dmhost::ImageSnapshot image = session.Host().ReadImage(filtered.get());
        DescribeImage(image, context.out);
        if (!fCsv.empty())
            WriteImageCsv(image, fCsv);
        if (!fEmsa.empty())
            WriteImageEmsa(image, fEmsa);
        return kSuccess;
    }

  private:
    std::string fFile;
    std::string fType;
    std::optional<double> fResolutionEv;
    std::string fCsv;
    std::string fEmsa;
};

}  // namespace

std::unique_ptr<Command> MakeFilterCommand() {
    return std::make_unique<FilterCommand>();
}

}  // namespace xrayutils
