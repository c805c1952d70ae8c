// Energy resolution of the detector, measured on the Ni Ka line of a NiOx spectrum.
//
// The counts of a fixed window around the line (from the last channel at or below
// 7.08 keV, as many channels as lie above 7.08 up to 7.88 keV) are cut down to the region
// above 10 % of their maximum and fitted with a Gaussian (FitGaussianPeak). The fitted
// curve, scaled back to counts, is written into the caller's curve over the window's
// channels; the widths are reported in eV at Ni Ka and, scaled by 0.926, at Mn Ka.
//
// Throws EnergyResolutionError when the spectrum has no channel in the window, when the fit
// fails, or when the fitted Gaussian is centred outside the window or wider than it (a
// spectrum without a Ni Ka line); the message says why the line could not be measured.
#ifndef XRAY_NIOX_ENERGYRESOLUTION_H
#define XRAY_NIOX_ENERGYRESOLUTION_H

#include <cstdint>
#include <stdexcept>
#include <string>

#include "array/Array1D.h"
#include "niox/NiOxWindows.h"

namespace xray {

class EnergyResolutionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct EnergyResolution {
    int32_t windowStart = 0;    // table row of the fit window's first channel
    int32_t windowCount = 0;    // channels in the fit window
    double peakHeight = 0.0;    // counts
    double peakPosition = 0.0;  // keV
    double sigma = 0.0;         // standard deviation, eV
    double fwhmNiKa = 0.0;      // eV
    double fwtmNiKa = 0.0;      // eV
    double fwhmMnKa = 0.0;      // eV
};

// `step` is the spectrum's energy step in keV per channel. `curve` receives the fitted
// Gaussian at the window's channels and is left untouched elsewhere; when its count is not
// the table's row count it is replaced by a zero-filled array of that count first.
EnergyResolution ComputeEnergyResolution(double step, const EnergyCountTable& table,
                                         Array1D<double>& curve);

std::string WriteEnergyResolutionBlock(const EnergyResolution& result);

// ComputeEnergyResolution followed by WriteEnergyResolutionBlock.
std::string EvaluateEnergyResolution(double step, const EnergyCountTable& table,
                                     Array1D<double>& curve);

}  // namespace xray

#endif  // XRAY_NIOX_ENERGYRESOLUTION_H
