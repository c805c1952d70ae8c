#include "niox/InverseHoleCount.h"

#include "niox/ReportFormat.h"

namespace xray {

InverseHoleCount ComputeInverseHoleCount(const WindowTable& windows) {
    InverseHoleCount r;
    r.niNet = windows(kNickelK, kNet);
    r.niBackground = windows(kNickelK, kBackground);
    r.moNet = windows(kMolybdenumK, kNet);
    r.moBackground = windows(kMolybdenumK, kBackground);
    const auto ratio = [](const std::array<double, 2>& n) { return n[0] / n[1]; };
    r.ratio = ratio({r.niNet, r.moNet});
    r.errors = PerturbationError<2>({r.niNet, r.moNet}, ratio);
    return r;
}

std::string WriteInverseHoleCountBlock(const InverseHoleCount& r) {
    return "\n******** Results of inverse hole-count *********\n" +
           MeasuredNiKIntensities(r.niNet, r.niBackground) +
           "\n\t\tGross MoK peak: " + Fixed(r.moNet + r.moBackground, 1) +
           " (count)\n\t\tMoK backgound:  " + Fixed(r.moBackground, 1) +
           " (count)\n\t\tNet MoK peak:   " + Fixed(r.moNet, 1) +
           " (count)\n\n\t\tInverse hole-count: " + Fixed(r.ratio, 2) +
           SigmaErrorLines(r.errors, 2, "  ") + kBlockEnd;
}

std::string EvaluateInverseHoleCount(const WindowTable& windows) {
    return WriteInverseHoleCountBlock(ComputeInverseHoleCount(windows));
}

}  // namespace xray
