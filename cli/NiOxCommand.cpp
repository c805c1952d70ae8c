// `xrayutils niox FILE [selections] [--thickness NM] [--fit-csv OUT]`: imports FILE with
// Zor_EMSAtoDM, runs Zor_NiOx on it and prints the report exactly as returned. With no
// selection all seven evaluations run. The "Gaussian Fit" image can be written as CSV.
#include <array>
#include <fstream>
#include <iomanip>
#include <locale>
#include <stdexcept>

#include "cli/ArgumentParser.h"
#include "cli/ImportedSpectrum.h"
#include "cli/Session.h"
#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

// The seven flags of Zor_NiOx, in the order of its signature.
constexpr std::array<const char*, 7> kSelections = {"--resolution", "--hole-count", "--fiori",
                                                    "--total-pb",   "--mo-kl",      "--solid-angle",
                                                    "--efficiency"};
enum : std::size_t { kResolution = 0, kSolidAngle = 5, kEfficiency = 6 };

struct NiOxOptions {
    std::string file;
    std::array<bool, 7> selected{};
    bool thicknessGiven = false;
    double thickness = 0.0;
    std::string fitCsv;
};

ArgumentSpec NiOxArguments() {
    ArgumentSpec spec{1, {"--all"}, {"--thickness", "--fit-csv"}};
    spec.flags.insert(kSelections.begin(), kSelections.end());
    return spec;
}

void CheckOptions(const NiOxOptions& o) {
    if ((o.selected[kSolidAngle] || o.selected[kEfficiency]) && !o.thicknessGiven)
        throw UsageError(
            "the solid angle and the detector efficiency need the film thickness: --thickness NM");
    if (!o.fitCsv.empty() && !o.selected[kResolution])
        throw UsageError("--fit-csv needs the energy resolution (--resolution)");
}

NiOxOptions ParseOptions(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, NiOxArguments());
    NiOxOptions o;
    o.file = parsed.plain[0];
    for (std::size_t k = 0; k < kSelections.size(); ++k)
        o.selected[k] = parsed.Has("--all") || parsed.Has(kSelections[k]);
    if (o.selected == std::array<bool, 7>{})
        o.selected.fill(true);
    if (const auto thickness = parsed.Value("--thickness")) {
        o.thickness = ParseNumber(*thickness, "--thickness");
        o.thicknessGiven = true;
    }
    o.fitCsv = parsed.Value("--fit-csv").value_or("");
    CheckOptions(o);
    return o;
}

// channel,energy,value with the spectrum's calibration (energy of channel i = origin +
// scale x i).
void WriteFitCsv(const std::string& path, const dmhost::ImageSnapshot& spectrum,
                 const dmhost::ImageSnapshot& fit) {
    std::ofstream out(path, std::ios::binary);
    out.imbue(std::locale::classic());
    const dmhost::DimensionCalibration calibration =
        spectrum.calibrations.empty() ? dmhost::DimensionCalibration{} : spectrum.calibrations[0];
    out << "channel,energy,value\n";
    for (std::size_t i = 0; i < fit.values.size(); ++i) {
        const double energy = static_cast<double>(calibration.origin) +
                              static_cast<double>(calibration.scale) * static_cast<double>(i);
        // Energies to the calibration's own precision, values as the 4-byte reals they are.
        out << i << ',' << std::setprecision(6) << energy << ',' << std::setprecision(9)
            << fit.values[i] << '\n';
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

int RunNiOx(const std::vector<std::string>& arguments, CommandContext& context) {
    const NiOxOptions o = ParseOptions(arguments);
    Session& session = context.session;
    const dmhost::ObjectRef spectrum = ImportSpectrumFile(session, o.file);
    dmhost::ObjectRef fit(session.Host());
    std::vector<dmhost::ScriptValue> args = {dmhost::ScriptValue::Image(spectrum.get())};
    for (bool selected : o.selected)
        args.push_back(dmhost::ScriptValue::Bool(selected));
    args.push_back(dmhost::ScriptValue::Number(o.thickness));
    args.push_back(dmhost::ScriptValue::Output(fit));
    const dmhost::ScriptResult report = session.Call("Zor_NiOx", args);
    context.out << report.text << std::flush;
    if (!o.fitCsv.empty()) {
        if (!fit)
            throw std::runtime_error("Zor_NiOx returned no fit image");
        WriteFitCsv(o.fitCsv, session.Host().ReadImage(spectrum.get()),
                    session.Host().ReadImage(fit.get()));
    }
    return 0;
}

}  // namespace

const SubCommand kNiOxCommand = {
    "niox", "FILE [OPTIONS]", "evaluate a NiOx test spectrum (Zor_NiOx)",
    "Imports the EMSA/MAS file FILE with Zor_EMSAtoDM, runs Zor_NiOx on it and prints the\n"
    "report exactly as returned. Selections (none given: all seven):\n"
    "  --resolution    energy resolution (Gaussian fit of Ni Ka)\n"
    "  --hole-count    inverse hole count\n"
    "  --fiori         Fiori peak-to-background ratio\n"
    "  --total-pb      total peak-to-background ratio\n"
    "  --mo-kl         Mo K/L ratio\n"
    "  --solid-angle   collection solid angle\n"
    "  --efficiency    detector efficiency\n"
    "  --all           all seven\n"
    "Other options:\n"
    "  --thickness NM  NiOx film thickness in nm; required for the solid angle and the\n"
    "                  detector efficiency\n"
    "  --fit-csv OUT   write the \"Gaussian Fit\" image to OUT as channel,energy,value, with\n"
    "                  the spectrum's energy calibration (needs the energy resolution)",
    RunNiOx};

}  // namespace xrayutils
