#include "niox/EnergyResolution.h"

#include <cmath>

#include "fit/GaussianFit.h"
#include "niox/ReportFormat.h"

namespace xray {

namespace {

constexpr double kWindowLow = 7.08;    // keV
constexpr double kWindowHigh = 7.88;   // keV
constexpr double kMnKaToNiKa = 926.0;  // eV per keV of step, i.e. 0.926 x 1000

struct FitWindow {
    int32_t start = 0;
    int32_t count = 0;
};

// The window starts at the last row at or below kWindowLow seen before the first row
// inside the interval, so that, whatever the calibration, start + count never passes
// the end of the table.
FitWindow FindFitWindow(const EnergyCountTable& table) {
    FitWindow w;
    for (int32_t i = 0; i < table.nrows(); ++i) {
        const double energy = table(i, 0);
        if (energy <= kWindowLow) {
            if (w.count == 0)
                w.start = i;
        } else if (energy <= kWindowHigh) {
            ++w.count;
        } else {
            break;
        }
    }
    return w;
}

// The first maximum of the values.
double Maximum(const Array1D<double>& values) {
    double max = values[0];
    for (double v : values)
        if (v > max)
            max = v;
    return max;
}

void Normalise(Array1D<double>& values, double max) {
    for (double& v : values)
        v /= max;
}

GaussianFit FitNiKa(const Array1D<double>& region) {
    try {
        return FitGaussianPeak(region).fit;
    } catch (const GaussianFitError& e) {
        throw EnergyResolutionError(std::string("The Ni Ka line could not be measured. ") +
                                    e.what());
    }
}

// A downward parabola through the logarithm of any hump-shaped or falling counts gives some
// Gaussian; only one centred inside the window and narrower than it is a measured line.
void CheckFitInsideWindow(const FitWindow& w, int32_t regionStart, const GaussianFit& g,
                          double centreEnergy, double fwhmEv, double step) {
    const double centre = regionStart + g.mu;
    if (!(centre >= 0.0 && centre <= w.count - 1))
        throw EnergyResolutionError(
            "The Ni Ka line could not be measured: the fitted peak centre, " +
            Fixed(centreEnergy, 3) +
            " keV, lies outside the fit window from 7.08 to 7.88 keV. The spectrum shows no Ni "
            "Ka peak there.");
    if (!(fwhmEv <= w.count * step * 1000))
        throw EnergyResolutionError(
            "The Ni Ka line could not be measured: the fitted FWHM, " + Fixed(fwhmEv, 1) +
            " eV, is wider than the fit window from 7.08 to 7.88 keV. The spectrum shows no Ni "
            "Ka peak there.");
}

void WriteCurve(const FitWindow& w, int32_t regionStart, double scale, const GaussianFit& g,
                Array1D<double>& curve) {
    for (int32_t k = 0; k < w.count; ++k) {
        const double j = k - regionStart;
        curve[w.start + k] =
            scale * std::exp((0 - (j - g.mu) * (j - g.mu)) / ((g.sigma + g.sigma) * g.sigma));
    }
}

}  // namespace

EnergyResolution ComputeEnergyResolution(double step, const EnergyCountTable& table,
                                         Array1D<double>& curve) {
    const FitWindow w = FindFitWindow(table);
    if (w.count == 0)
        throw EnergyResolutionError(
            "The Ni Ka line could not be measured: the spectrum has no channel above 7.08 keV "
            "up to 7.88 keV. Check its energy calibration (keV).");
    Array1D<double> counts(w.count);
    for (int32_t k = 0; k < w.count; ++k)
        counts[k] = table(w.start + k, 1);
    const double max = Maximum(counts);
    if (!(max > 0.0))
        throw EnergyResolutionError(
            "The Ni Ka line could not be measured: the spectrum has no counts above 7.08 keV up "
            "to 7.88 keV.");
    Array1D<double> region;
    const int32_t s = SelectPeakWindow(counts, region);
    Normalise(region, max);
    const GaussianFit g = FitNiKa(region);

    const double fwhm = 2 * g.sigma * std::sqrt(2 * std::log(2.0));
    const double fwtm = 2 * g.sigma * std::sqrt(2 * std::log(10.0));
    EnergyResolution r;
    r.windowStart = w.start;
    r.windowCount = w.count;
    r.peakHeight = g.height * max;
    r.peakPosition = table(w.start + s, 0) + g.mu * step;
    r.sigma = g.sigma * 1000 * step;
    r.fwhmNiKa = fwhm * (1000 * step);
    r.fwtmNiKa = (1000 * step) * fwtm;
    r.fwhmMnKa = kMnKaToNiKa * step * fwhm;
    CheckFitInsideWindow(w, s, g, r.peakPosition, r.fwhmNiKa, step);

    if (curve.count() != table.nrows())
        curve = Array1D<double>(table.nrows(), 0.0);
    WriteCurve(w, s, g.height * max, g, curve);
    return r;
}

std::string WriteEnergyResolutionBlock(const EnergyResolution& r) {
    return "\n********* Results of energy-resolution *********\n"
           "\t\tFit results\n\t\tPeak height:    " +
           Fixed(r.peakHeight, 1) + " (count)\n\t\tPeak position:  " + Fixed(r.peakPosition, 3) +
           " (keV)\n\t\tstd deviation : " + Fixed(r.sigma, 1) +
           " (eV)\n\n\t\tFWHM at NiKa:   " + Fixed(r.fwhmNiKa, 1) +
           " (eV)\n\t\tFWTM at NiKa:   " + Fixed(r.fwtmNiKa, 1) +
           " (eV)\n\n\t\tFWHM at MnKa:  " + Fixed(r.fwhmMnKa, 1) + " (eV)" + kBlockEnd;
}

std::string EvaluateEnergyResolution(double step, const EnergyCountTable& table,
                                     Array1D<double>& curve) {
    return WriteEnergyResolutionBlock(ComputeEnergyResolution(step, table, curve));
}

}  // namespace xray
