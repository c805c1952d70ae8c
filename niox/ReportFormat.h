// Formatting shared by the NiOx report blocks: numbers in fixed-point notation with a
// given number of decimals, no padding, a point as decimal separator whatever the global
// locale, and infinities and NaN as the standard stream writes them.
#ifndef XRAY_NIOX_REPORTFORMAT_H
#define XRAY_NIOX_REPORTFORMAT_H

#include <string>

#include "niox/PerturbationError.h"

namespace xray {

// The line of 48 stars that closes every block, with its line breaks.
extern const char* const kBlockEnd;

std::string Fixed(double value, int decimals);

// The three lines "\n\t\tError 1sigma(68%):" + gap + value + unit, and likewise for
// 2sigma(95%) and 3sigma(99%).
std::string SigmaErrorLines(const SigmaErrors& errors, int decimals, const char* gap,
                            const char* unit = "");

// "\t\tMeasured intensities" followed by the gross, background and net Ni K lines, each
// ending in " (count)", the last without a line break.
std::string MeasuredNiKIntensities(double net, double background);

}  // namespace xray

#endif  // XRAY_NIOX_REPORTFORMAT_H
