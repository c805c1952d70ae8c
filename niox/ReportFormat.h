// Formatting shared by the NiOx report blocks: numbers in fixed-point notation with a
// given number of decimals, no padding, a point as decimal separator whatever the global
// locale, and infinities and NaN as the standard stream writes them.
//
// The texts are exactly those of a classic-locale std::ostream given the same format
// flags and precision (correctly rounded, an exact tie to even, "-0.0", "inf", "-nan"),
// written with std::to_chars so that no stream, locale or buffer is built per number.
// Nothing here throws except std::bad_alloc.
#ifndef XRAY_NIOX_REPORTFORMAT_H
#define XRAY_NIOX_REPORTFORMAT_H

#include <string>

#include "niox/PerturbationError.h"

namespace xray {

// The line of 48 stars that closes every block, with its line breaks.
extern const char* const kBlockEnd;

// `value` with `decimals` digits after the point, as std::fixed with that precision writes
// it (a negative count means 6, as for a stream).
std::string Fixed(double value, int decimals);

// `value` with `digits` significant digits, as a stream writes it with that precision and
// no floatfield (fixed or scientific, whichever is shorter, trailing zeros dropped), padded
// on the left with blanks to `width` characters.
std::string Significant(double value, int digits, int width = 0);

// The three lines "\n\t\tError 1sigma(68%):" + gap + value + unit, and likewise for
// 2sigma(95%) and 3sigma(99%).
std::string SigmaErrorLines(const SigmaErrors& errors, int decimals, const char* gap,
                            const char* unit = "");

// "\t\tMeasured intensities" followed by the gross, background and net Ni K lines, each
// ending in " (count)", the last without a line break.
std::string MeasuredNiKIntensities(double net, double background);

}  // namespace xray

#endif  // XRAY_NIOX_REPORTFORMAT_H
