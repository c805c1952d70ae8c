// `xrayutils niox FILE... [selections] [--thickness NM] [--fit-csv OUT] [--json | --csv]`.
// With one file and neither --json nor --csv: imports FILE with Zor_EMSAtoDM, runs Zor_NiOx
// on it and prints the report exactly as returned; the "Gaussian Fit" image can be written
// as CSV. With --json or --csv: evaluates every file through the core as the module would
// and writes one record per file, in the order given.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <fstream>
#include <iomanip>
#include <locale>
#include <optional>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/ImportedSpectrum.h"
#include "cli/NiOxRecord.h"
#include "cli/Parallel.h"
#include "cli/Session.h"

namespace xrayutils {
namespace {

using xray::NiOxSelection;

struct SelectionFlag {
    const char* name;
    bool NiOxSelection::*member;
    const char* help;
};

// The seven selections, in the order of Zor_NiOx's flags.
constexpr SelectionFlag kSelectionFlags[] = {
    {"--resolution", &NiOxSelection::energyResolution, "energy resolution (Gaussian fit of Ni Ka)"},
    {"--hole-count", &NiOxSelection::inverseHoleCount, "inverse hole count"},
    {"--fiori", &NiOxSelection::fioriPB, "Fiori peak-to-background ratio"},
    {"--total-pb", &NiOxSelection::totalPB, "total peak-to-background ratio"},
    {"--mo-kl", &NiOxSelection::moKL, "Mo K/L ratio"},
    {"--solid-angle", &NiOxSelection::solidAngle, "collection solid angle (needs --thickness)"},
    {"--efficiency", &NiOxSelection::detectorEfficiency,
     "detector efficiency and normalized efficiency (needs --thickness)"},
};

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

class NiOxCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("niox");
        command.description(
            "evaluate NiOx test spectra: the module's report, or records as JSON or CSV");
        command.footer(
            "Evaluates NiOx test spectra. With one FILE: imports it with Zor_EMSAtoDM, runs "
            "Zor_NiOx and prints the report exactly as returned. With --json or --csv: "
            "evaluates every FILE exactly as the module does and writes one record per file, "
            "in the order given, with every number unrounded (a number that is not finite is "
            "null or an empty cell). Without selections all seven evaluations run, the solid "
            "angle and the efficiencies only with --thickness. Exit status 1 when a file could "
            "not be read or an evaluation failed (every record is still written).");
        command.add_option("FILE", fFiles, "EMSA/MAS spectrum files")->type_name("")->required();
        for (const SelectionFlag& flag : kSelectionFlags)
            command.add_flag(flag.name, fSelection.*flag.member, flag.help);
        command.add_flag("--all", fAll, "all seven evaluations (needs --thickness)");
        command
            .add_option("--thickness", fThickness,
                        "NiOx film thickness in nm, for the solid angle and the efficiencies")
            ->type_name("NM");
        command
            .add_option("--fit-csv", fFitCsv,
                        "write the \"Gaussian Fit\" image to OUT as channel,energy,value with "
                        "the spectrum's energy calibration (one file, text report only)")
            ->type_name("OUT");
        CLI::Option* json =
            command.add_flag("--json", fJson, "write the records as one JSON array");
        CLI::Option* csv =
            command.add_flag("--csv", fCsv, "write a header row and one row per file as CSV");
        json->excludes(csv);
    }

    int Run(CommandContext& context) override {
        const NiOxSelection selection = Selection();
        if (fJson || fCsv)
            return RunBatch(selection, context.out);
        if (fFiles.size() != 1)
            throw UsageError("several files need --json or --csv");
        return RunReport(selection, context);
    }

  private:
    NiOxSelection Selection() const {
        const bool needsThickness = fAll || fSelection.solidAngle || fSelection.detectorEfficiency;
        if (needsThickness && !fThickness)
            throw UsageError(
                "the solid angle and the detector efficiency need the film thickness: "
                "--thickness NM");
        if (!fFitCsv.empty() && (fJson || fCsv))
            throw UsageError("--fit-csv goes with the text report, not with --json or --csv");
        NiOxSelection s = fSelection;
        if (fAll || !s.Any()) {
            s = NiOxSelection::All();
            s.solidAngle = s.detectorEfficiency = fThickness.has_value();
        }
        if (!fFitCsv.empty() && !s.energyResolution)
            throw UsageError("--fit-csv needs the energy resolution (--resolution)");
        return s;
    }

    int RunReport(const NiOxSelection& s, CommandContext& context) {
        Session& session = context.session;
        const dmhost::ObjectRef spectrum = ImportSpectrumFile(session, fFiles[0]);
        dmhost::ObjectRef fit(session.Host());
        std::vector<dmhost::ScriptValue> args = {dmhost::ScriptValue::Image(spectrum.get())};
        for (const SelectionFlag& flag : kSelectionFlags)
            args.push_back(dmhost::ScriptValue::Bool(s.*flag.member));
        args.push_back(dmhost::ScriptValue::Number(fThickness.value_or(0.0)));
        args.push_back(dmhost::ScriptValue::Output(fit));
        const dmhost::ScriptResult report = session.Call("Zor_NiOx", args);
        context.out << report.text << std::flush;
        if (!fFitCsv.empty()) {
            if (!fit)
                throw std::runtime_error("Zor_NiOx returned no fit image");
            WriteFitCsv(fFitCsv, session.Host().ReadImage(spectrum.get()),
                        session.Host().ReadImage(fit.get()));
        }
        return kSuccess;
    }

    int RunBatch(const NiOxSelection& s, std::ostream& out) {
        std::vector<Json> records(fFiles.size());
        std::vector<char> failures(fFiles.size(), 0);
        ForEachInParallel(fFiles.size(), [&](std::size_t k) {
            const SpectrumEvaluation e = EvaluateSpectrumFile(fFiles[k], s, fThickness);
            failures[k] = !e.spectrum.readError.empty() || e.results.AnyFailed();
            records[k] = NiOxRecord(e);
        });
        const bool failed = std::find(failures.begin(), failures.end(), 1) != failures.end();
        if (fJson) {
            out << Json(std::move(records)).dump(2) << "\n";
        } else {
            WriteCsvRow(out, NiOxCsvColumns());
            for (const Json& record : records)
                WriteCsvRow(out, NiOxCsvCells(record));
        }
        out << std::flush;
        return failed ? kFailure : kSuccess;
    }

    std::vector<std::string> fFiles;
    NiOxSelection fSelection;
    bool fAll = false;
    std::optional<double> fThickness;
    std::string fFitCsv;
    bool fJson = false;
    bool fCsv = false;
};

}  // namespace

std::unique_ptr<Command> MakeNiOxCommand() {
    return std::make_unique<NiOxCommand>();
}

}  // namespace xrayutils
