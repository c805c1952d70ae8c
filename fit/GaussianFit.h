// Gaussian fit of one peak: value(i) = H exp(-(i - mu)^2 / (2 sigma^2)).
//
// The fit is a weighted least-squares parabola through the logarithm of the values, each
// channel weighted by its value raised to an exponent p; FitGaussianPeak chooses p in
// [1, 10] by minimising the chi-square of the resulting Gaussian with MinimiseByBrent.
// Positions and widths are in channels of the window passed in, index 0 being its first
// channel. The functions keep no state; results are returned by value.
//
// Values at or below zero (and values that are not finite) carry no information on a log
// scale and are left out of both the sums and the chi-square. The fit throws
// GaussianFitError when fewer than three usable values remain or when the fitted parabola
// does not open downwards (no finite width). Allocation failure raises std::bad_alloc.
#ifndef XRAY_FIT_GAUSSIANFIT_H
#define XRAY_FIT_GAUSSIANFIT_H

#include <cstdint>
#include <stdexcept>

#include "array/Array1D.h"

namespace xray {

class GaussianFitError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct GaussianFit {
    double sigma = 0.0;      // standard deviation, channels
    double mu = 0.0;         // centre, channels from the window's first channel
    double height = 0.0;     // H, in the units of the values
    double chiSquare = 0.0;  // sum of (value - model)^2 / value over the usable channels
};

struct GaussianPeakFit {
    GaussianFit fit;        // the fit at the chosen exponent
    double exponent = 0.0;  // the chosen weight exponent p
    int passes = 0;         // Brent passes, the ending one included
};

// Copies the channels around the first maximum of `values`, down to 10 % of it, into
// `window` and returns the index in `values` of the window's first channel. The window
// begins one channel before the first channel above the threshold (at channel 0 when
// already channel 0 exceeds it) and ends at the first channel at or after the maximum that
// falls below the threshold (at the last channel when none does). `window` is resized only
// when its count differs. Empty values give an empty window starting at 0.
int32_t SelectPeakWindow(const Array1D<double>& values, Array1D<double>& window);

// The fit at one weight exponent p. Throws GaussianFitError as described above.
GaussianFit FitGaussianAtExponent(const Array1D<double>& window, double p);

// The fit at the exponent that minimises the chi-square. Trial exponents whose fit fails
// count as infinitely bad; the fit at the chosen exponent must succeed or this throws.
GaussianPeakFit FitGaussianPeak(const Array1D<double>& window);

}  // namespace xray

#endif  // XRAY_FIT_GAUSSIANFIT_H
