#include "filter/FilterKernels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

using Index = std::ptrdiff_t;

constexpr double kMnKalphaEv = 5898.2451;
// Slope of the squared FWHM against energy in the detector's resolution law, in eV.
constexpr double kResolutionLawSlopeEv = 2.49;

std::string Format(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

void RequireChannels(const Array1D<double>& spectrum, int32_t minimum, const char* filter) {
    if (spectrum.count() >= minimum)
        return;
    throw std::invalid_argument("The spectrum has " + std::to_string(spectrum.count()) +
                                " channels; the " + filter + " filter needs at least " +
                                std::to_string(minimum) + ".");
}

void RequireNonZeroWidth(double h, const char* filter) {
    if (h != 0.0 && std::isfinite(h))
        return;
    throw std::invalid_argument("The channel width of the spectrum is " + Format(h) + " keV; the " +
                                filter + " filter needs a non-zero energy scale.");
}

void RequirePositiveWidthAndResolution(double h, double R, const char* filter) {
    if (!(h > 0.0) || !std::isfinite(h))
        throw std::invalid_argument("The channel width of the spectrum is " + Format(h) +
                                    " keV; the " + filter +
                                    " filter needs a positive energy scale.");
    if (!(R > 0.0) || !std::isfinite(R))
        throw std::invalid_argument("The detector energy resolution is " + Format(R * 1000.0) +
                                    " eV; the " + filter + " filter needs a positive one.");
}

// Half away from zero as x + 0.5 (x - 0.5) truncated. Not std::round: the two differ
// just below one half (0.49999999999999994 gives 1 here, 0 there).
double RoundHalfAwayFromZero(double x) {
    return std::trunc(x > 0.0 ? x + 0.5 : x - 0.5);
}

// --- Derivatives -----------------------------------------------------------------------

// Four-point differences of s at channel i, forward (step 1) or backward (step -1).
double EndSecondDifference(const double* s, Index i, Index step) {
    return 2.0 * s[i] - 5.0 * s[i + step] + 4.0 * s[i + 2 * step] - s[i + 3 * step];
}

double ThreePointMean(const double* y, Index centre) {
    return (y[centre - 1] + y[centre] + y[centre + 1]) / 3.0;
}

double NinePointSmoothing(const double* y, Index i) {
    return (-21.0 * y[i - 4] + 14.0 * y[i - 3] + 39.0 * y[i - 2] + 54.0 * y[i - 1] + 59.0 * y[i] +
            54.0 * y[i + 1] + 39.0 * y[i + 2] + 14.0 * y[i + 3] - 21.0 * y[i + 4]) /
           231.0;
}

// The ends are written in this order so that, for short spectra, later entries overwrite
// earlier ones where the indices coincide.
Array1D<double> SmoothForSecondDerivative(const Array1D<double>& spectrum) {
    const Index n = spectrum.count();
    const double* y = spectrum.data();
    Array1D<double> smoothed(spectrum.count(), 0.0);
    double* s = smoothed.data();
    s[0] = s[1] = ThreePointMean(y, 1);
    s[2] = ThreePointMean(y, 2);
    s[3] = ThreePointMean(y, 3);
    s[n - 3] = ThreePointMean(y, n - 3);
    s[n - 4] = ThreePointMean(y, n - 4);
    s[n - 2] = s[n - 1] = ThreePointMean(y, n - 2);
    for (Index i = 4; i <= n - 5; ++i)
        s[i] = NinePointSmoothing(y, i);
    return smoothed;
}

// --- Top-hats --------------------------------------------------------------------------

// Lobe widths for one output channel: centre c, side e, and shift f = c / 2.
struct Lobes {
    Index centre;
    Index side;
    Index shift;
};

Lobes LobesOfWidth(double widthInChannels, double h, double R) {
    double centre = RoundHalfAwayFromZero(widthInChannels);
    if (!(centre <= kMaxLobeChannels))
        throw std::invalid_argument("The detector energy resolution of " + Format(R * 1000.0) +
                                    " eV is wider than " + std::to_string(kMaxLobeChannels) +
                                    " channels of " + Format(h) +
                                    " keV; check the resolution and the energy calibration.");
    if (centre < 1.0)
        centre = 1.0;
    const Index c = static_cast<Index>(centre);
    return {c, static_cast<Index>(RoundHalfAwayFromZero(0.5 * centre)), c / 2};
}

// How far the lobes of output channel i reach below channel 0 and above channel n - 1;
// the running-sum buffer is padded by at least this much on each side.
struct Reach {
    Index below = 0;
    Index above = 0;

    void Include(const Lobes& lobes, Index i, Index n) {
        below = std::max(below, lobes.shift + lobes.side - i);
        above = std::max(above, lobes.centre - lobes.shift + lobes.side - (n - 1 - i));
    }
};

// Running sums of the spectrum with `below` zeros in front and `above` copies of the
// total behind, so that entry `below + k` is the sum of all channels j <= k for every k
// a lobe reaches, counting channels outside the spectrum as zero.
Array1D<double> PaddedRunningSums(const Array1D<double>& spectrum, const Reach& reach) {
    const Index n = spectrum.count();
    const Index length = reach.below + n + reach.above;
    if (length > std::numeric_limits<int32_t>::max())
        throw std::invalid_argument("The spectrum of " + std::to_string(n) +
                                    " channels is too long for the top-hat filters.");
    Array1D<double> sums(static_cast<int32_t>(length), 0.0);
    double total = 0.0;
    for (Index k = 0; k < n; ++k) {
        total += spectrum[static_cast<int32_t>(k)];
        sums[static_cast<int32_t>(reach.below + k)] = total;
    }
    std::fill(sums.data() + reach.below + n, sums.data() + length, total);
    return sums;
}

// `sums` points at the running sum through channel 0 of a buffer padded for these lobes.
double TopHatAt(const double* sums, Index i, const Lobes& lobes) {
    const double* start = sums + (i - lobes.shift);
    const double middle = start[lobes.centre] - start[0];
    const double left = start[0] - start[-lobes.side];
    const double right = start[lobes.centre + lobes.side] - start[lobes.centre];
    return middle / static_cast<double>(lobes.centre) -
           (left + right) / static_cast<double>(2 * lobes.side);
}

template <typename LobesAt>
void ApplyTopHat(Array1D<double>& spectrum, const Reach& reach, LobesAt lobesAt) {
    const Array1D<double> sums = PaddedRunningSums(spectrum, reach);
    const double* start = sums.data() + reach.below;
    double* y = spectrum.data();
    const Index n = spectrum.count();
    for (Index i = 0; i < n; ++i)
        y[i] = TopHatAt(start, i, lobesAt(i));
}

// Width in channels of the detector's FWHM at channel k, all in eV inside. Where the law
// gives no real width the result is 0, which LobesOfWidth widens to one channel.
class ResolutionLaw {
  public:
    ResolutionLaw(double E0, double h, double R)
        : channelWidthEv_(1000.0 * h),
          startFromMnKalphaEv_(1000.0 * E0 - kMnKalphaEv),
          resolutionSquared_((1000.0 * R) * (1000.0 * R)) {}

    double WidthInChannels(Index k) const {
        const double t = (static_cast<double>(k) * channelWidthEv_ + startFromMnKalphaEv_) *
                             kResolutionLawSlopeEv +
                         resolutionSquared_;
        if (!(t > 0.0))
            return 0.0;
        return std::sqrt(t) / channelWidthEv_;
    }

  private:
    double channelWidthEv_;
    double startFromMnKalphaEv_;
    double resolutionSquared_;
};

}  // namespace

void FirstDerivativeFilter(double h, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kFirstDerivativeMinChannels, "first derivative");
    RequireNonZeroWidth(h, "first derivative");
    const Index n = spectrum.count();
    const double* y = spectrum.data();
    Array1D<double> derivative(spectrum.count(), 0.0);
    double* d = derivative.data();
    const double forward = 12.0 * h;
    const double backward = -12.0 * h;
    d[0] = (-25.0 * y[0] + 48.0 * y[1] - 36.0 * y[2] + 16.0 * y[3] - 3.0 * y[4]) / forward;
    d[1] = (-25.0 * y[1] + 48.0 * y[2] - 36.0 * y[3] + 16.0 * y[4] - 3.0 * y[5]) / forward;
    d[n - 2] =
        (-25.0 * y[n - 2] + 48.0 * y[n - 3] - 36.0 * y[n - 4] + 16.0 * y[n - 5] - 3.0 * y[n - 6]) /
        backward;
    d[n - 1] =
        (-25.0 * y[n - 1] + 48.0 * y[n - 2] - 36.0 * y[n - 3] + 16.0 * y[n - 4] - 3.0 * y[n - 5]) /
        backward;
    for (Index i = 2; i <= n - 3; ++i)
        d[i] = (y[i - 2] - 8.0 * y[i - 1] + 8.0 * y[i + 1] - y[i + 2]) / forward;
    spectrum.swap(derivative);
}

void SecondDerivativeFilter(double h, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kSecondDerivativeMinChannels, "second derivative");
    RequireNonZeroWidth(h, "second derivative");
    const Array1D<double> smoothed = SmoothForSecondDerivative(spectrum);
    const double* s = smoothed.data();
    double* y = spectrum.data();
    const Index n = spectrum.count();
    const double hSquared = h * h;
    y[0] = EndSecondDifference(s, 0, 1) / hSquared;
    y[1] = EndSecondDifference(s, 1, 1) / hSquared;
    y[n - 2] = EndSecondDifference(s, n - 2, -1) / hSquared;
    y[n - 1] = EndSecondDifference(s, n - 1, -1) / hSquared;
    const double inner = 12.0 * hSquared;
    for (Index i = 2; i <= n - 3; ++i)
        y[i] = (-s[i - 2] + 16.0 * s[i - 1] - 30.0 * s[i] + 16.0 * s[i + 1] - s[i + 2]) / inner;
}

void FixedTopHatFilter(double h, double R, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kTopHatMinChannels, "fixed tophat");
    RequirePositiveWidthAndResolution(h, R, "fixed tophat");
    const Lobes lobes = LobesOfWidth(R / h, h, R);
    const Index n = spectrum.count();
    Reach reach;
    reach.Include(lobes, 0, n);
    reach.Include(lobes, n - 1, n);
    ApplyTopHat(spectrum, reach, [&lobes](Index) { return lobes; });
}

void VariableTopHatFilter(double E0, double h, double R, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kTopHatMinChannels, "variable tophat");
    RequirePositiveWidthAndResolution(h, R, "variable tophat");
    if (!std::isfinite(E0))
        throw std::invalid_argument("The energy of the first channel is " + Format(E0) +
                                    " keV; the variable tophat filter needs a finite one.");
    const ResolutionLaw law(E0, h, R);
    const auto lobesAt = [&law, h, R](Index i) {
        return LobesOfWidth(law.WidthInChannels(i), h, R);
    };
    // The lobes widen with energy, but not always fastest at channel 0 or at the last
    // channel: the padding comes from the widest reach of any of them.
    const Index n = spectrum.count();
    Reach reach;
    for (Index i = 0; i < n; ++i)
        reach.Include(lobesAt(i), i, n);
    ApplyTopHat(spectrum, reach, lobesAt);
}
