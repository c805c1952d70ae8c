#include "niox/NiOxEvaluation.h"

#include <new>
#include <stdexcept>

#include "niox/NiOxWindows.h"
#include "niox/ReportFormat.h"

namespace xray {
namespace {

// The outcome of `compute` when selected; a failure other than exhausted memory becomes the
// evaluation's message.
template <typename Result, typename Compute>
Evaluation<Result> Evaluate(bool selected, Compute compute) {
    Evaluation<Result> outcome;
    if (!selected)
        return outcome;
    try {
        outcome.result = compute();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        outcome.error = e.what();
    }
    return outcome;
}

SolidAngle CheckedSolidAngle(const SolidAngleInput& input, const WindowTable& windows) {
    const SolidAngle r = ComputeSolidAngle(input, windows);
    if (!r.valid())
        throw std::runtime_error(SolidAngleFailure(input, r));
    return r;
}

}  // namespace

bool NiOxSelection::Any() const {
    return energyResolution || inverseHoleCount || fioriPB || totalPB || moKL || solidAngle ||
           detectorEfficiency;
}

bool NiOxResults::AnyFailed() const {
    return energyResolution.Failed() || inverseHoleCount.Failed() || fioriPB.Failed() ||
           totalPB.Failed() || moKL.Failed() || solidAngle.Failed() || detectorEfficiency.Failed();
}

std::string SolidAngleFailure(const SolidAngleInput& input, const SolidAngle& solidAngle) {
    if (solidAngle.voltageFactor == 0.0)
        return "Wrong accelerating voltage (" + Fixed(input.voltage, 1) +
               " kV): the solid angle can be determined only at 80, 100, 120, 200, 300 and "
               "400 kV.";
    return "The solid angle is not positive: it needs net Ni K counts and a positive film "
           "thickness, live time and probe current.";
}

NiOxResults EvaluateNiOxSpectrum(const NiOxSpectrum& spectrum, const NiOxSelection& selection,
                                 const SolidAngleInput& acquisition) {
    const EnergyCountTable table =
        MakeEnergyCountTable(spectrum.counts, spectrum.count, spectrum.offset, spectrum.step);
    WindowTable windows(kWindowRows, 2);
    const int32_t niKChannels = IntegrateWindows(table, windows);
    const double step = spectrum.step;

    NiOxResults r;
    r.energyResolution = Evaluate<EnergyResolution>(selection.energyResolution, [&] {
        Array1D<double> curve(table.nrows(), 0.0);
        const EnergyResolution result = ComputeEnergyResolution(step, table, curve);
        r.fitCurve = std::move(curve);
        return result;
    });
    r.inverseHoleCount = Evaluate<InverseHoleCount>(
        selection.inverseHoleCount, [&] { return ComputeInverseHoleCount(windows); });
    const auto peakToBackground = [&] {
        return ComputePeakToBackground(step, windows, niKChannels);
    };
    r.fioriPB = Evaluate<PeakToBackground>(selection.fioriPB, peakToBackground);
    r.totalPB = Evaluate<PeakToBackground>(selection.totalPB, peakToBackground);
    r.moKL = Evaluate<MoKLRatio>(selection.moKL, [&] { return ComputeMoKLRatio(windows); });
    const auto solidAngle = [&] { return CheckedSolidAngle(acquisition, windows); };
    r.solidAngle = Evaluate<SolidAngle>(selection.solidAngle, solidAngle);
    r.detectorEfficiency = Evaluate<SolidAngle>(selection.detectorEfficiency, solidAngle);
    return r;
}

}  // namespace xray
