#include "niox/MoKLRatio.h"

#include "niox/ReportFormat.h"

namespace xray {

MoKLRatio ComputeMoKLRatio(const WindowTable& windows) {
    MoKLRatio r;
    r.kNet = windows(kMolybdenumK, kNet);
    r.lNet = windows(kMolybdenumL, kNet);
    const auto ratio = [](const std::array<double, 2>& n) { return n[0] / n[1]; };
    r.ratio = ratio({r.kNet, r.lNet});
    r.errors = PerturbationError<2>({r.kNet, r.lNet}, ratio);
    return r;
}

std::string WriteMoKLRatioBlock(const MoKLRatio& r) {
    return "\n************ Results of Mo K/L ratio ***********\n"
           "\t\tMeasured intensities\n\t\tNet MoK peak: " +
           Fixed(r.kNet, 1) + " (count)\n\t\tNet Mo L peak:  " + Fixed(r.lNet, 1) +
           " (count)\n\n\t\tMo K/L ratio:         " + Fixed(r.ratio, 2) +
           SigmaErrorLines(r.errors, 2, " ") + kBlockEnd;
}

std::string EvaluateMoKLRatio(const WindowTable& windows) {
    return WriteMoKLRatioBlock(ComputeMoKLRatio(windows));
}

}  // namespace xray
