// SpectrumPlot: the picture of one evaluated NiOx spectrum, in two panels.
//
// Top: the whole spectrum on a logarithmic count axis, the thirteen NiOx windows shaded,
// and above it a strip with one row per line (O K, Ni L, Mo L, Ni K, Mo K) showing which
// peak window (solid) and background windows (light) belong to it. Bottom: the Ni Ka fit
// window, the counts as points with sqrt(N) error bars, the fitted Gaussian as a line with
// its full width at half maximum marked, and beneath it the residuals (counts less fit, in
// units of sqrt(N)). The fitted widths at Ni Ka and Mn Ka head the bottom panel. When the
// fit failed the bottom panel holds the message instead.
//
// MakeSpectrumPicture computes what is drawn (plain numbers, testable without PLplot);
// DrawSpectrumPicture draws it through a PlotSession and throws PlotError when PLplot
// fails, leaving no file behind.
#ifndef XRAY_CLI_SPECTRUMPLOT_H
#define XRAY_CLI_SPECTRUMPLOT_H

#include <optional>
#include <string>
#include <vector>

#include "cli/PlotSession.h"
#include "cli/SpectrumEvaluation.h"

namespace xrayutils {

// The fit window of the energy resolution, channel by channel, and the fitted curve.
struct FitPanel {
    std::vector<double> energy;              // keV, one per window channel
    std::vector<double> counts;              // as evaluated
    std::vector<double> error;               // sqrt(counts), 0 for a channel without counts
    std::vector<double> fit;                 // the core's fitted curve at each channel
    std::vector<double> residual;            // (counts - fit) / sqrt(max(counts, 1))
    std::vector<double> curveEnergy, curve;  // the fitted Gaussian on a fine grid
    double peakPosition = 0.0;               // keV
    double halfMaximum = 0.0;                // counts
    double fwhmLow = 0.0, fwhmHigh = 0.0;    // keV: the full width at half maximum
    double fwhmNiKa = 0.0, fwhmMnKa = 0.0;   // eV
};

struct SpectrumPicture {
    std::string name;                    // the file's base name
    std::string subtitle;                // the file's title, acquisition time, beam and live time
    std::vector<double> energy, counts;  // every channel, keV and counts
    std::optional<FitPanel> fit;
    std::string fitError;  // why there is no fit panel; empty when there is one
};

// What the picture of `evaluation` shows. REQUIRES: the spectrum was read.
SpectrumPicture MakeSpectrumPicture(const SpectrumEvaluation& evaluation);

// The default size of a spectrum picture.
constexpr PictureSize kSpectrumPictureSize{1000, 800};

void DrawSpectrumPicture(const SpectrumPicture& picture, const std::string& path,
                         PictureFormat format, PictureSize size);

}  // namespace xrayutils

#endif  // XRAY_CLI_SPECTRUMPLOT_H
