// Inverse hole count of a NiOx spectrum: the net Ni K counts over the net Mo K counts,
// with counting errors over the two net counts. A zero or negative Mo K net count gives
// infinite or NaN values, which the block prints as the standard stream writes them.
#ifndef XRAY_NIOX_INVERSEHOLECOUNT_H
#define XRAY_NIOX_INVERSEHOLECOUNT_H

#include <string>

#include "niox/NiOxWindows.h"
#include "niox/PerturbationError.h"

namespace xray {

struct InverseHoleCount {
    double niNet = 0.0;  // Ni K counts
    double niBackground = 0.0;
    double moNet = 0.0;  // Mo K counts
    double moBackground = 0.0;
    double ratio = 0.0;
    SigmaErrors errors{};
};

InverseHoleCount ComputeInverseHoleCount(const WindowTable& windows);
std::string WriteInverseHoleCountBlock(const InverseHoleCount& result);
std::string EvaluateInverseHoleCount(const WindowTable& windows);

}  // namespace xray

#endif  // XRAY_NIOX_INVERSEHOLECOUNT_H
