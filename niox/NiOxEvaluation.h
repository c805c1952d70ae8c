// NiOxEvaluation: the seven NiOx evaluations of one spectrum as numbers, for callers that
// want the results rather than the report: the batch commands, the QC history, plots.
//
// The spectrum is given as counts per channel with its energy calibration, exactly as the
// module's driver sees a spectrum image (a spectrum imported by the module holds 4-byte
// reals and a 4-byte real calibration; a caller that wants the module's numbers narrows its
// values the same way first). Acquisition values are read only by the solid angle and the
// efficiencies.
//
// Every number is unrounded; the report blocks (WriteEnergyResolutionBlock, ...) print the
// same structs rounded. Each selected evaluation succeeds or fails on its own: a failure
// leaves its result empty and its message in `error`, and the others are still evaluated.
// An evaluation that was not selected has neither. Only std::bad_alloc escapes.
#ifndef XRAY_NIOX_NIOXEVALUATION_H
#define XRAY_NIOX_NIOXEVALUATION_H

#include <cstdint>
#include <optional>
#include <string>

#include "array/Array1D.h"
#include "niox/EnergyResolution.h"
#include "niox/InverseHoleCount.h"
#include "niox/MoKLRatio.h"
#include "niox/PeakToBackground.h"
#include "niox/SolidAngle.h"

namespace xray {

// The seven evaluations, in the order of the script function's flags and of the report.
struct NiOxSelection {
    bool energyResolution = false;
    bool inverseHoleCount = false;
    bool fioriPB = false;
    bool totalPB = false;
    bool moKL = false;
    bool solidAngle = false;
    bool detectorEfficiency = false;

    static NiOxSelection All() { return {true, true, true, true, true, true, true}; }
    bool Any() const;
};

// Counts of `count` channels (borrowed for the call) whose energies are offset + step * i.
struct NiOxSpectrum {
    const double* counts = nullptr;
    int32_t count = 0;
    double offset = 0.0;  // keV, the energy of channel 0
    double step = 0.0;    // keV per channel
};

// One evaluation's outcome: its result, or the message saying why it failed.
template <typename Result>
struct Evaluation {
    std::optional<Result> result;
    std::string error;

    bool Failed() const { return !error.empty(); }
};

struct NiOxResults {
    Evaluation<EnergyResolution> energyResolution;
    Array1D<double> fitCurve;  // the fitted Gaussian over the fit window, 0 elsewhere;
                               // one value per channel when the energy resolution succeeded
    Evaluation<InverseHoleCount> inverseHoleCount;
    Evaluation<PeakToBackground> fioriPB;  // fiori and fioriErrors
    Evaluation<PeakToBackground> totalPB;  // total and totalErrors
    Evaluation<MoKLRatio> moKL;
    Evaluation<SolidAngle> solidAngle;          // solidAngle and solidAngleErrors
    Evaluation<SolidAngle> detectorEfficiency;  // both efficiencies and their errors

    // Whether any selected evaluation failed.
    bool AnyFailed() const;
};

// Why a solid angle cannot be reported: a voltage without a voltage factor, or no positive
// solid angle from the counts, thickness, time and current. REQUIRES: !solidAngle.valid().
std::string SolidAngleFailure(const SolidAngleInput& input, const SolidAngle& solidAngle);

// Evaluates the selected evaluations. `acquisition` is read only when the solid angle or
// the detector efficiency is selected. REQUIRES: spectrum.count >= 0 and spectrum.counts
// points to that many values.
NiOxResults EvaluateNiOxSpectrum(const NiOxSpectrum& spectrum, const NiOxSelection& selection,
                                 const SolidAngleInput& acquisition);

}  // namespace xray

#endif  // XRAY_NIOX_NIOXEVALUATION_H
