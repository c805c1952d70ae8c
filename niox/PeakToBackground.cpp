#include "niox/PeakToBackground.h"

#include "niox/ReportFormat.h"

namespace xray {

PeakToBackground ComputePeakToBackground(double step, const WindowTable& windows,
                                         int32_t niKChannels) {
    PeakToBackground r;
    r.net = windows(kNickelK, kNet);
    r.background = windows(kNickelK, kBackground);
    const double w10 = niKChannels * step / 10 * 1000;
    r.windowWidth10eV = w10;
    const auto fiori = [w10](const std::array<double, 2>& n) { return n[0] / (n[1] / w10); };
    const auto total = [](const std::array<double, 2>& n) { return n[0] / n[1]; };
    r.fiori = fiori({r.net, r.background});
    r.fioriErrors = PerturbationError<2>({r.net, r.background}, fiori);
    r.total = total({r.net, r.background});
    r.totalErrors = PerturbationError<2>({r.net, r.background}, total);
    return r;
}

std::string WriteFioriBlock(const PeakToBackground& r) {
    return "\n********** Results of Fiori P/B ratio **********\n" +
           MeasuredNiKIntensities(r.net, r.background) +
           "\n\t\tWindowWidth for 10 eV: " + Fixed(r.windowWidth10eV, 1) +
           "\n\n\t\tFiori P/B:         " + Fixed(r.fiori, 2) +
           SigmaErrorLines(r.fioriErrors, 2, " ") + kBlockEnd;
}

std::string WriteTotalBlock(const PeakToBackground& r) {
    return "\n********** Results of total P/B ratio **********\n" +
           MeasuredNiKIntensities(r.net, r.background) +
           "\n\n\t\tTotal P/B:         " + Fixed(r.total, 2) +
           SigmaErrorLines(r.totalErrors, 2, " ") + kBlockEnd;
}

std::string EvaluatePeakToBackground(int selection, double step, const WindowTable& windows,
                                     int32_t niKChannels) {
    const PeakToBackground r = ComputePeakToBackground(step, windows, niKChannels);
    switch (selection) {
        case kFioriOnly:
            return WriteFioriBlock(r);
        case kTotalOnly:
            return WriteTotalBlock(r);
        case kFioriAndTotal:
            return WriteFioriBlock(r) + WriteTotalBlock(r);
        default:
            return std::string();
    }
}

}  // namespace xray
