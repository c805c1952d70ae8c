// Filter kernels for energy-dispersive X-ray spectra.
//
// Each kernel reads the n channel values of a spectrum and replaces them with n filtered
// values; nothing else is kept, and the kernels share no state. Energies are in keV: h is
// the width of one channel, E0 the energy of channel 0, R the detector resolution (FWHM at
// Mn K-alpha, 5898.2451 eV).
//
// - FirstDerivativeFilter: five-point differences, one-sided at the two channels of each
//   end. Needs n >= 6.
// - SecondDerivativeFilter: three-point means at the ends and nine-point quadratic
//   Savitzky-Golay smoothing inside, then five-point second differences (four-point,
//   one-sided at the ends). Needs n >= 5.
// - FixedTopHatFilter: a zero-area top-hat: a central lobe of c = round(R / h) channels
//   weighted 1 / c between two side lobes of e = round(c / 2) channels weighted -1 / (2e).
//   Output channel i takes its central lobe from channels i - f + 1 .. i - f + c with
//   f = c / 2 (integer division), so an odd lobe is centred one channel above i and an
//   even one half a channel above; the side lobes are the e channels on either side of it.
//   Channels outside the spectrum count as zero. Needs n >= 1.
// - VariableTopHatFilter: the same filter with c following the detector's resolution law
//   W(E) = sqrt(R^2 + 2.49 eV * (E - 5898.2451 eV)) at each channel's energy. Where the
//   law has no real width (low energies with R below about 121 eV) the lobe is one channel.
//
// Rounding is half away from zero; a central lobe is never narrower than one channel.
// The derivatives work in place without a buffer. The top-hats take every lobe sum as the
// difference of two running sums, produced in one pass and kept in a window of a few
// thousand channels plus twice the widest lobe, so their cost does not depend on the widths.
//
// Throws std::invalid_argument, leaving the spectrum unchanged, when the spectrum is
// shorter than the kernel needs, when h is zero or not finite (the top-hats also need it
// positive), when R is not positive and finite, when E0 is not finite, or when a lobe
// would be wider than kMaxLobeChannels. An exhausted heap raises std::bad_alloc, also
// before anything is changed.
#ifndef XRAY_FILTER_FILTERKERNELS_H
#define XRAY_FILTER_FILTERKERNELS_H

#include <cstdint>

#include "array/Array1D.h"

namespace xray {

// Shortest spectra the kernels accept.
constexpr int32_t kFirstDerivativeMinChannels = 6;
constexpr int32_t kSecondDerivativeMinChannels = 5;
constexpr int32_t kTopHatMinChannels = 1;

// Widest central lobe, in channels, a top-hat accepts. A wider one means the resolution
// or the energy calibration is wrong by orders of magnitude; refusing it keeps the
// window of running sums within reason (at most 32 MiB).
constexpr int32_t kMaxLobeChannels = 1 << 20;

void FirstDerivativeFilter(double h, Array1D<double>& spectrum);
void SecondDerivativeFilter(double h, Array1D<double>& spectrum);
void FixedTopHatFilter(double h, double R, Array1D<double>& spectrum);
void VariableTopHatFilter(double E0, double h, double R, Array1D<double>& spectrum);

}  // namespace xray

#endif  // XRAY_FILTER_FILTERKERNELS_H
