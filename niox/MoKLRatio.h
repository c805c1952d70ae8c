// Mo K/L ratio of a NiOx spectrum: net Mo K counts over net Mo L counts, with counting
// errors over the two net counts. A zero or negative Mo L net count gives infinite or NaN
// values, printed as the standard stream writes them.
#ifndef XRAY_NIOX_MOKLRATIO_H
#define XRAY_NIOX_MOKLRATIO_H

#include <string>

#include "niox/NiOxWindows.h"
#include "niox/PerturbationError.h"

namespace xray {

struct MoKLRatio {
    double kNet = 0.0;  // Mo K counts
    double lNet = 0.0;  // Mo L counts
    double ratio = 0.0;
    SigmaErrors errors{};
};

MoKLRatio ComputeMoKLRatio(const WindowTable& windows);
std::string WriteMoKLRatioBlock(const MoKLRatio& result);
std::string EvaluateMoKLRatio(const WindowTable& windows);

}  // namespace xray

#endif  // XRAY_NIOX_MOKLRATIO_H
