#include "filter/FilterKernels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace xray {

namespace {

using Index = std::ptrdiff_t;

constexpr double kMnKalphaEv = 5898.2451;
// Slope of the squared FWHM against energy in the detector's resolution law, in eV.
constexpr double kResolutionLawSlopeEv = 2.49;

std::string Format(double value) {
    std::ostringstream out;
    out.exceptions(std::ios_base::badbit);  // a failed allocation must not cut the text short
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

// --- Derivatives -----------------------------------------------------------------------

// Replaces y[2] .. y[n - 3] with centred five-point differences. Channel i is replaced as
// soon as it is computed; the next two channels take its original value from `before1`
// and `before2`.
void CentredFirstDifferencesInPlace(double* y, Index n, double denominator) {
    double before2 = y[0];
    double before1 = y[1];
    for (Index i = 2; i <= n - 3; ++i) {
        const double here = y[i];
        y[i] = (before2 - 8.0 * before1 + 8.0 * y[i + 1] - y[i + 2]) / denominator;
        before2 = before1;
        before1 = here;
    }
}

double ThreePointMean(const double* y, Index centre) {
    return (y[centre - 1] + y[centre] + y[centre + 1]) / 3.0;
}

// Nine-point quadratic Savitzky-Golay smoothing at channel i: `lowest` and `second` are
// y[i - 4] and y[i - 3] (which a caller may have replaced already), rest[0 .. 6] are
// y[i - 2] .. y[i + 4]. Multiplies by 1/231 rather than dividing: a division per channel
// would cost as much as the rest.
inline double NinePointSmoothing(double lowest, double second, const double* rest) {
    return (-21.0 * lowest + 14.0 * second + 39.0 * rest[0] + 54.0 * rest[1] + 59.0 * rest[2] +
            54.0 * rest[3] + 39.0 * rest[4] + 14.0 * rest[5] - 21.0 * rest[6]) *
           (1.0 / 231.0);
}

// One-sided four-point second difference of s at index i, forward (step 1) or backward
// (step -1).
double EndSecondDifference(const double* s, Index i, Index step) {
    return 2.0 * s[i] - 5.0 * s[i + step] + 4.0 * s[i + 2 * step] - s[i + 3 * step];
}

// Below nine channels only three-point means exist: those of the four channels at each
// end, the two outermost centred one channel inward. They are written in this order so
// that later ones overwrite earlier ones where the indices coincide.
void SecondDerivativeOfShortSpectrum(double* y, Index n, double hSquared) {
    double s[8];
    const double first = ThreePointMean(y, 1);
    s[0] = s[1] = first;
    s[2] = ThreePointMean(y, 2);
    s[3] = ThreePointMean(y, 3);
    s[n - 3] = ThreePointMean(y, n - 3);
    s[n - 4] = ThreePointMean(y, n - 4);
    const double last = ThreePointMean(y, n - 2);
    s[n - 2] = s[n - 1] = last;
    y[0] = EndSecondDifference(s, 0, 1) / hSquared;
    y[1] = EndSecondDifference(s, 1, 1) / hSquared;
    y[n - 2] = EndSecondDifference(s, n - 2, -1) / hSquared;
    y[n - 1] = EndSecondDifference(s, n - 1, -1) / hSquared;
    const double scale = 1.0 / (12.0 * hSquared);  // as in SecondDerivativeOfLongSpectrum
    for (Index i = 2; i <= n - 3; ++i)
        y[i] = (-s[i - 2] + 16.0 * s[i - 1] - 30.0 * s[i] + 16.0 * s[i + 1] - s[i + 2]) * scale;
}

// From nine channels on: three-point means at the four channels of each end, nine-point
// smoothing between, differenced in the same pass. Channel i is replaced once the
// smoothing has moved past it; the smoothed values and the two original values still
// needed ride along in local variables. The centred differences multiply by
// 1 / (12 h^2) for the same reason as the smoothing multiplies by 1/231.
void SecondDerivativeOfLongSpectrum(double* y, Index n, double hSquared) {
    const double low[5] = {ThreePointMean(y, 1), ThreePointMean(y, 1), ThreePointMean(y, 2),
                           ThreePointMean(y, 3), NinePointSmoothing(y[0], y[1], y + 2)};
    const double high[5] = {NinePointSmoothing(y[n - 9], y[n - 8], y + n - 7),
                            ThreePointMean(y, n - 4), ThreePointMean(y, n - 3),
                            ThreePointMean(y, n - 2), ThreePointMean(y, n - 2)};
    const double d0 = EndSecondDifference(low, 0, 1) / hSquared;
    const double d1 = EndSecondDifference(low, 1, 1) / hSquared;
    const double dLast2 = EndSecondDifference(high, 3, -1) / hSquared;
    const double dLast1 = EndSecondDifference(high, 4, -1) / hSquared;

    const double scale = 1.0 / (12.0 * hSquared);
    double s0 = low[0], s1 = low[1], s2 = low[2], s3 = low[3];  // s[i - 2] .. s[i + 1]
    double below2 = y[0], below1 = y[1];                        // original y[i - 2], y[i - 1]
    const auto replace = [&](Index i, double s4) {
        const double here = y[i];
        y[i] = (-s0 + 16.0 * s1 - 30.0 * s2 + 16.0 * s3 - s4) * scale;
        s0 = s1;
        s1 = s2;
        s2 = s3;
        s3 = s4;
        below2 = below1;
        below1 = here;
    };
    Index i = 2;
    for (; i <= n - 7; ++i)
        replace(i, NinePointSmoothing(below2, below1, y + i));
    for (; i <= n - 3; ++i)
        replace(i, high[i - (n - 7)]);
    y[0] = d0;
    y[1] = d1;
    y[n - 2] = dLast2;
    y[n - 1] = dLast1;
}

// --- Top-hats --------------------------------------------------------------------------

// Lobes of one output channel: centre c, side e, shift f = c / 2, and the lobe weights
// 1 / c and -1 / (2e) (the sign is applied in TopHatAt). Output channel i reads the running
// sums from S(i - c) (as f + e = c) up to S(i - f + c + e).
struct Lobes {
    Index centre;
    Index side;
    Index shift;
    double centreWeight;
    double sideWeight;
};

Lobes LobesOf(Index centre) {
    const Index side = (centre + 1) / 2;  // round(c / 2), half away from zero
    return {centre, side, centre / 2, 1.0 / static_cast<double>(centre),
            1.0 / static_cast<double>(2 * side)};
}

[[noreturn]] void ThrowLobeTooWide(double h, double R) {
    throw std::invalid_argument("The detector energy resolution of " + Format(R * 1000.0) +
                                " eV is wider than " + std::to_string(kMaxLobeChannels) +
                                " channels of " + Format(h) +
                                " keV; check the resolution and the energy calibration.");
}

// Rounds the width half away from zero (x + 0.5 truncated; widths are never negative)
// and widens a lobe that rounds to nothing to one channel.
inline Index CentralLobeChannels(double widthInChannels, double h, double R) {
    const double widthPlusHalf = widthInChannels + 0.5;
    if (!(widthPlusHalf < kMaxLobeChannels + 1.0))
        ThrowLobeTooWide(h, R);
    return std::max<Index>(static_cast<Index>(widthPlusHalf), 1);
}

// The running sums S(k) of a spectrum, produced in order of k: 0 below channel 0, the sum
// of channels 0 .. k (each the previous one plus y[k]) inside, the total above the last
// channel, however far below or above a lobe reaches. Only a window of them is kept, so
// a top-hat can overwrite each channel once the sums have moved past it.
class RunningSums {
  public:
    // `capacity` bounds high - low + 1 over all calls of Cover.
    RunningSums(const double* y, Index n, Index lowest, Index capacity)
        : fY(y), fN(n), fBase(lowest), fNext(lowest), fWindow(capacity) {}

    // Makes S(low) .. S(high) available. REQUIRES: low never decreases from call to call
    // and does not pass the sums produced so far.
    void Cover(Index low, Index high) {
        if (low > fBase) {
            std::copy(fWindow.begin() + (low - fBase), fWindow.begin() + (fNext - fBase),
                      fWindow.begin());
            fBase = low;
        }
        for (; fNext <= high && fNext < 0; ++fNext)
            fWindow[fNext - fBase] = 0.0;
        for (; fNext <= high && fNext < fN; ++fNext)
            fWindow[fNext - fBase] = fTotal += fY[fNext];
        for (; fNext <= high; ++fNext)
            fWindow[fNext - fBase] = fTotal;
    }

    const double* At(Index k) const { return fWindow.data() + (k - fBase); }

  private:
    const double* fY;
    Index fN;
    Index fBase;
    Index fNext;
    double fTotal = 0.0;
    std::vector<double> fWindow;
};

// `sums` points at S(i - f) for output channel i.
double TopHatAt(const double* sums, const Lobes& lobes) {
    const double below = sums[0];
    const double centre = sums[lobes.centre];
    const double middle = centre - below;
    const double left = below - sums[-lobes.side];
    const double right = sums[lobes.centre + lobes.side] - centre;
    return middle * lobes.centreWeight - (left + right) * lobes.sideWeight;
}

// Filters y in place, a block of channels at a time: first the running sums the block
// needs, then its outputs. Lobes never narrow from one channel to the next, so output i
// reads sums from no lower than i - c up to at most i + c + 1, c the widest lobe.
template <typename LobesAt>
void ApplyTopHat(Array1D<double>& spectrum, Index widestLobe, LobesAt lobesAt) {
    constexpr Index kBlock = 4096;
    double* y = spectrum.data();
    const Index n = spectrum.count();
    RunningSums sums(y, n, -widestLobe, kBlock + 2 * widestLobe + 2);
    for (Index first = 0; first < n; first += kBlock) {
        const Index end = std::min(n, first + kBlock);
        const Lobes last = lobesAt(end - 1);
        sums.Cover(first - widestLobe, end - 1 - last.shift + last.centre + last.side);
        for (Index i = first; i < end; ++i) {
            const Lobes lobes = lobesAt(i);
            y[i] = TopHatAt(sums.At(i - lobes.shift), lobes);
        }
    }
}

// Width in channels of the detector's FWHM at channel k, all in eV inside. Where the law
// gives no real width the result is 0, which CentralLobeChannels widens to one channel. Every
// step is monotonic, so the width never decreases with k.
class ResolutionLaw {
  public:
    ResolutionLaw(double E0, double h, double R)
        : fChannelWidthEv(1000.0 * h),
          fStartFromMnKalphaEv(1000.0 * E0 - kMnKalphaEv),
          fResolutionSquared((1000.0 * R) * (1000.0 * R)) {}

    double WidthInChannels(Index k) const {
        const double t = (static_cast<double>(k) * fChannelWidthEv + fStartFromMnKalphaEv) *
                             kResolutionLawSlopeEv +
                         fResolutionSquared;
        if (!(t > 0.0))
            return 0.0;
        return std::sqrt(t) / fChannelWidthEv;
    }

  private:
    double fChannelWidthEv;
    double fStartFromMnKalphaEv;
    double fResolutionSquared;
};

}  // namespace

void FirstDerivativeFilter(double h, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kFirstDerivativeMinChannels, "first derivative");
    RequireNonZeroWidth(h, "first derivative");
    const Index n = spectrum.count();
    double* y = spectrum.data();
    const double forward = 12.0 * h;
    const double backward = -12.0 * h;
    // The one-sided ends read the first and last six channels before any is replaced.
    const double d0 =
        (-25.0 * y[0] + 48.0 * y[1] - 36.0 * y[2] + 16.0 * y[3] - 3.0 * y[4]) / forward;
    const double d1 =
        (-25.0 * y[1] + 48.0 * y[2] - 36.0 * y[3] + 16.0 * y[4] - 3.0 * y[5]) / forward;
    const double dLast2 =
        (-25.0 * y[n - 2] + 48.0 * y[n - 3] - 36.0 * y[n - 4] + 16.0 * y[n - 5] - 3.0 * y[n - 6]) /
        backward;
    const double dLast1 =
        (-25.0 * y[n - 1] + 48.0 * y[n - 2] - 36.0 * y[n - 3] + 16.0 * y[n - 4] - 3.0 * y[n - 5]) /
        backward;
    CentredFirstDifferencesInPlace(y, n, forward);
    y[0] = d0;
    y[1] = d1;
    y[n - 2] = dLast2;
    y[n - 1] = dLast1;
}

void SecondDerivativeFilter(double h, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kSecondDerivativeMinChannels, "second derivative");
    RequireNonZeroWidth(h, "second derivative");
    if (spectrum.count() < 9)
        SecondDerivativeOfShortSpectrum(spectrum.data(), spectrum.count(), h * h);
    else
        SecondDerivativeOfLongSpectrum(spectrum.data(), spectrum.count(), h * h);
}

void FixedTopHatFilter(double h, double R, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kTopHatMinChannels, "fixed tophat");
    RequirePositiveWidthAndResolution(h, R, "fixed tophat");
    const Lobes lobes = LobesOf(CentralLobeChannels(R / h, h, R));
    ApplyTopHat(spectrum, lobes.centre, [&lobes](Index) { return lobes; });
}

void VariableTopHatFilter(double E0, double h, double R, Array1D<double>& spectrum) {
    RequireChannels(spectrum, kTopHatMinChannels, "variable tophat");
    RequirePositiveWidthAndResolution(h, R, "variable tophat");
    if (!std::isfinite(E0))
        throw std::invalid_argument("The energy of the first channel is " + Format(E0) +
                                    " keV; the variable tophat filter needs a finite one.");
    const ResolutionLaw law(E0, h, R);
    Lobes lobes = LobesOf(1);
    const auto lobesAt = [&law, &lobes, h, R](Index i) {
        const Index centre = CentralLobeChannels(law.WidthInChannels(i), h, R);
        if (centre != lobes.centre)
            lobes = LobesOf(centre);  // widths change rarely
        return lobes;
    };
    // Widths grow with energy: the last channel has the widest lobe. Checking it first
    // also refuses a resolution too wide for the calibration before anything is changed.
    ApplyTopHat(spectrum, lobesAt(spectrum.count() - 1).centre, lobesAt);
}

}  // namespace xray
