// `xrayutils filter FILE --type T [--resolution EV] [--csv OUT] [--emsa OUT]`: imports FILE
// with Zor_EMSAtoDM, filters it with Zor_SpectrumFilter and prints the filtered image as
// `import` prints an image, optionally writing it out as CSV or as an EMSA/MAS file.
#include <array>
#include <string>

#include "cli/ArgumentParser.h"
#include "cli/ImageDescription.h"
#include "cli/ImageFiles.h"
#include "cli/ImportedSpectrum.h"
#include "cli/Session.h"
#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

// The filter types by their command-line names, type 1 first.
constexpr std::array<const char*, 4> kFilterNames = {"first-derivative", "second-derivative",
                                                     "fixed-tophat", "variable-tophat"};

struct FilterOptions {
    std::string file;
    uint32_t type = 0;
    bool resolutionGiven = false;
    double resolutionEv = 0.0;
    std::string csv;
    std::string emsa;
};

// A name, or a number, which the module itself judges: an unknown type is the script's error.
uint32_t ParseFilterType(const std::string& text) {
    for (std::size_t k = 0; k < kFilterNames.size(); ++k) {
        if (text == kFilterNames[k])
            return static_cast<uint32_t>(k + 1);
    }
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos)
        return ParseUnsigned(text, "--type");
    throw UsageError(
        "--type needs 1-4 or one of first-derivative, second-derivative, "
        "fixed-tophat, variable-tophat, not '" +
        text + "'");
}

FilterOptions ParseOptions(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed =
        ParseArguments(arguments, {1, {}, {"--type", "--resolution", "--csv", "--emsa"}});
    FilterOptions o;
    o.file = parsed.plain[0];
    const auto type = parsed.Value("--type");
    if (!type)
        throw UsageError("missing --type");
    o.type = ParseFilterType(*type);
    if (const auto resolution = parsed.Value("--resolution")) {
        o.resolutionEv = ParseNumber(*resolution, "--resolution");
        o.resolutionGiven = true;
    }
    o.csv = parsed.Value("--csv").value_or("");
    o.emsa = parsed.Value("--emsa").value_or("");
    return o;
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

int RunFilter(const std::vector<std::string>& arguments, CommandContext& context) {
    const FilterOptions o = ParseOptions(arguments);
    Session& session = context.session;
    dmhost::ObjectRef spectrum = ImportSpectrumFile(session, o.file);
    if (o.resolutionGiven)
        spectrum = WithResolution(session.Host(), spectrum, o.resolutionEv);
    dmhost::ObjectRef filtered(session.Host());
    session.Call("Zor_SpectrumFilter",
                 {dmhost::ScriptValue::Image(spectrum.get()), dmhost::ScriptValue::Number(o.type),
                  dmhost::ScriptValue::Output(filtered)});
    const dmhost::ImageSnapshot image = session.Host().ReadImage(filtered.get());
    DescribeImage(image, context.out);
    if (!o.csv.empty())
        WriteImageCsv(image, o.csv);
    if (!o.emsa.empty())
        WriteImageEmsa(image, o.emsa);
    return 0;
}

}  // namespace

const SubCommand kFilterCommand = {
    "filter", "FILE --type T [OPTIONS]", "filter a spectrum (Zor_SpectrumFilter)",
    "Imports the EMSA/MAS file FILE with Zor_EMSAtoDM, filters it with Zor_SpectrumFilter\n"
    "and prints the filtered image as import does (its \"Processing\" record included).\n"
    "  --type T          1 or first-derivative, 2 or second-derivative, 3 or fixed-tophat,\n"
    "                    4 or variable-tophat\n"
    "  --resolution EV   set \"EDS:Detector info:Energy resolution\" (eV) on the imported\n"
    "                    spectrum first; the top-hats (3, 4) need it, and the import does\n"
    "                    not write it\n"
    "  --csv OUT         also write the rows channel,energy,value to OUT\n"
    "  --emsa OUT        also write the filtered image as a standard-layout EMSA/MAS file",
    RunFilter};

}  // namespace xrayutils
