// Difference in ice and carbon contamination-layer thickness between two spectra of the
// NiOx thin specimen, from the change of the O K and Ni L intensities relative to Ni K,
// with counting errors over the six net counts (O, Ni L, Ni K of each spectrum).
//
// Zero or negative net counts make logarithms or square roots undefined; the affected
// numbers are NaN and print as the standard stream writes them, without a message.
#ifndef XRAY_NIOX_CONTAMINATION_H
#define XRAY_NIOX_CONTAMINATION_H

#include <string>

#include "niox/NiOxWindows.h"
#include "niox/PerturbationError.h"

namespace xray {

struct Contamination {
    double ice = 0.0;            // nm, spectrum 1 less spectrum 2 (thicker on 1: positive)
    SigmaErrors iceErrors{};     // nm
    double carbon = 0.0;         // nm, likewise
    SigmaErrors carbonErrors{};  // nm
};

// From the window tables of the two spectra.
Contamination EvaluateContamination(const WindowTable& first, const WindowTable& second);

// Integrates the windows of each table over its own rows and evaluates them, so that a
// table never supplies more channels than it holds.
Contamination EvaluateContaminationOfSpectra(const EnergyCountTable& first,
                                             const EnergyCountTable& second);

// The result block, naming the two spectra.
std::string WriteContaminationBlock(const std::string& firstName, const std::string& secondName,
                                    const Contamination& result);

// The whole report: its first line followed by the result block.
std::string WriteContaminationReport(const std::string& firstName, const std::string& secondName,
                                     const Contamination& result);

}  // namespace xray

#endif  // XRAY_NIOX_CONTAMINATION_H
