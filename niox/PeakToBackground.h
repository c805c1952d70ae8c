// Peak-to-background ratios of the Ni K line: the Fiori P/B (net peak over the background
// in a 10 eV slice) and the total P/B (net peak over the whole background under the peak
// window), each with counting errors over the net and background counts. Degenerate
// counts (no Ni K channel, zero background) give infinite or NaN values, printed as the
// standard stream writes them.
#ifndef XRAY_NIOX_PEAKTOBACKGROUND_H
#define XRAY_NIOX_PEAKTOBACKGROUND_H

#include <cstdint>
#include <string>

#include "niox/NiOxWindows.h"
#include "niox/PerturbationError.h"

namespace xray {

struct PeakToBackground {
    double net = 0.0;              // Ni K counts
    double background = 0.0;       // Ni K counts
    double windowWidth10eV = 0.0;  // the Ni K peak window's width in units of 10 eV
    double fiori = 0.0;
    SigmaErrors fioriErrors{};
    double total = 0.0;
    SigmaErrors totalErrors{};
};

// Which blocks EvaluatePeakToBackground returns; any other value returns no text.
enum PeakToBackgroundSelection : int { kFioriOnly = 1, kTotalOnly = 2, kFioriAndTotal = 3 };

// `step` in keV per channel; `niKChannels` as returned by IntegrateWindows.
PeakToBackground ComputePeakToBackground(double step, const WindowTable& windows,
                                         int32_t niKChannels);
std::string WriteFioriBlock(const PeakToBackground& result);
std::string WriteTotalBlock(const PeakToBackground& result);

// The Fiori block, the total block, or the Fiori block followed by the total block.
std::string EvaluatePeakToBackground(int selection, double step, const WindowTable& windows,
                                     int32_t niKChannels);

}  // namespace xray

#endif  // XRAY_NIOX_PEAKTOBACKGROUND_H
