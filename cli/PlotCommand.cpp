// `xrayutils plot FILE -o OUT [--size WxH]`: the picture of one NiOx spectrum and its Ni Ka
// fit, as SVG, PNG or PDF after OUT's extension. A spectrum whose fit fails still gets its
// picture, with the message in place of the fit, and the command fails with the message.
#include <CLI/CLI.hpp>

#include <stdexcept>

#include "cli/Command.h"
#include "cli/PictureOptions.h"
#include "cli/SpectrumPlot.h"

namespace xrayutils {
namespace {

class PlotCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("plot");
        command.description("draw a NiOx spectrum and its Ni Ka fit (SVG, PNG or PDF)");
        command.footer(
            "Draws FILE in two panels: the whole spectrum on a logarithmic count axis with the "
            "thirteen NiOx windows shaded, and the Ni Ka fit window with the counts and their "
            "sqrt(N) error bars, the fitted Gaussian, its full width at half maximum and the "
            "residuals. The format follows OUT's extension: .svg, .png or .pdf. When the fit "
            "fails the picture is still written, with the message in place of the fit, and the "
            "exit status is 1.");
        command.add_option("FILE", fFile, "EMSA/MAS spectrum file")->type_name("")->required();
        DeclarePictureOptions(command, fPicture, kSpectrumPictureSize);
    }

    int Run(CommandContext& context) override {
        const PictureRequest request = CheckPictureOptions(fPicture);
        xray::NiOxSelection selection;
        selection.energyResolution = true;
        const SpectrumEvaluation evaluation = EvaluateSpectrumFile(fFile, selection, std::nullopt);
        if (!evaluation.spectrum.readError.empty())
            throw std::runtime_error(evaluation.spectrum.readError);
        const SpectrumPicture picture = MakeSpectrumPicture(evaluation);
        DrawSpectrumPicture(picture, request.path, request.format, request.size);
        context.out << "Wrote " << request.path << "\n" << std::flush;
        if (!picture.fit)
            throw std::runtime_error(fFile + ": " + picture.fitError);
        return kSuccess;
    }

  private:
    std::string fFile;
    PictureOptions fPicture;
};

}  // namespace

std::unique_ptr<Command> MakePlotCommand() {
    return std::make_unique<PlotCommand>();
}

}  // namespace xrayutils
