// `xrayutils report FILE... -o OUT.html [--thickness NM]`: one self-contained HTML page with
// every spectrum's acquisition values, NiOx results and picture. Spectra are evaluated on
// every core and drawn one after another (PLplot draws one picture at a time).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>

#include "cli/Command.h"
#include "cli/HtmlPage.h"
#include "cli/Parallel.h"
#include "cli/SpectrumReport.h"

namespace xrayutils {
namespace {

class ReportCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("report");
        command.description("write an HTML report of NiOx spectra with their pictures");
        command.footer(
            "Evaluates every FILE as `niox` does (all seven evaluations; the solid angle and "
            "the efficiencies with --thickness) and writes one HTML page: an overview, then "
            "per spectrum its acquisition values, its results with their 1-sigma errors and "
            "its picture (as `plot` draws it). The page is self-contained: it needs no network "
            "to open, travels as one file and prints on A4. Exit status 1 when a file could not "
            "be read or an evaluation failed (the page still shows every spectrum).");
        command.add_option("FILE", fFiles, "EMSA/MAS spectrum files")->type_name("")->required();
        command.add_option("-o,--output", fOutput, "the page to write")
            ->type_name("OUT.html")
            ->required();
        command
            .add_option("--thickness", fThickness,
                        "NiOx film thickness in nm, for the solid angle and the efficiencies")
            ->type_name("NM");
    }

    int Run(CommandContext& context) override {
        std::vector<ReportedSpectrum> spectra(fFiles.size());
        xray::NiOxSelection selection = xray::NiOxSelection::All();
        selection.solidAngle = selection.detectorEfficiency = fThickness.has_value();
        ForEachInParallel(fFiles.size(), [&](std::size_t k) {
            spectra[k].evaluation = EvaluateSpectrumFile(fFiles[k], selection, fThickness);
        });
        DrawReportPictures(spectra);
        const std::string page = WriteSpectrumReportPage(spectra);
        WritePageFile(fOutput, page);
        context.out << "Wrote " << fOutput << "\n" << std::flush;
        const bool failed = std::any_of(spectra.begin(), spectra.end(), [](const auto& s) {
            return !s.evaluation.spectrum.readError.empty() || s.evaluation.results.AnyFailed();
        });
        return failed ? kFailure : kSuccess;
    }

  private:
    std::vector<std::string> fFiles;
    std::string fOutput;
    std::optional<double> fThickness;
};

}  // namespace

std::unique_ptr<Command> MakeReportCommand() {
    return std::make_unique<ReportCommand>();
}

}  // namespace xrayutils
