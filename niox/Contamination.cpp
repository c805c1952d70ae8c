#include "niox/Contamination.h"

#include <array>
#include <cmath>

#include "niox/ReportFormat.h"

namespace xray {

namespace {

// Attenuation coefficients per metre of layer, and the determinant of the linear system
// hO = -(kIceO ice + kCarbonO carbon), hL = -(kIceL ice + kCarbonL carbon).
constexpr double kIceO = 108881.829;
constexpr double kCarbonO = 2648053.229;
constexpr double kIceL = 623378.434;
constexpr double kCarbonL = 754360.119;
constexpr double kDivisor = 1568603165561.2856;
constexpr double kNanometresPerMetre = 1000000000;

// Net counts in the order O1, O2, L1, L2, K1, K2.
using NetCounts = std::array<double, 6>;

double LogRatioO(const NetCounts& n) {
    return std::log((n[0] / n[4]) / (n[1] / n[5]));
}
double LogRatioL(const NetCounts& n) {
    return std::log((n[2] / n[4]) / (n[3] / n[5]));
}

double Ice(const NetCounts& n) {
    return (kCarbonL * LogRatioO(n) - kCarbonO * LogRatioL(n)) / kDivisor;
}
double Carbon(const NetCounts& n) {
    return (kIceO * LogRatioL(n) - kIceL * LogRatioO(n)) / kDivisor;
}

SigmaErrors InNanometres(SigmaErrors e) {
    for (double& v : e)
        v *= kNanometresPerMetre;
    return e;
}

}  // namespace

Contamination EvaluateContamination(const WindowTable& first, const WindowTable& second) {
    const NetCounts n = {first(kOxygenK, kNet),  second(kOxygenK, kNet), first(kNickelL, kNet),
                         second(kNickelL, kNet), first(kNickelK, kNet),  second(kNickelK, kNet)};
    Contamination r;
    r.ice = Ice(n) * kNanometresPerMetre;
    r.iceErrors = InNanometres(PerturbationError(n, Ice));
    r.carbon = Carbon(n) * kNanometresPerMetre;
    r.carbonErrors = InNanometres(PerturbationError(n, Carbon));
    return r;
}

Contamination EvaluateContaminationOfSpectra(const EnergyCountTable& first,
                                             const EnergyCountTable& second) {
    WindowTable w1(kWindowRows, 2);
    WindowTable w2(kWindowRows, 2);
    IntegrateWindows(first, w1);
    IntegrateWindows(second, w2);
    return EvaluateContamination(w1, w2);
}

std::string WriteContaminationBlock(const std::string& firstName, const std::string& secondName,
                                    const Contamination& r) {
    return "\n*** Results of contamination layer thickness ***\n\t\tSpectrum 1: " + firstName +
           "\n\t\tSpectrum 2: " + secondName +
           "\n\n\t\tDifference in\n\t\tIce layer thickness: " + Fixed(r.ice, 1) + " (nm)" +
           SigmaErrorLines(r.iceErrors, 1, "   ", " (nm)") +
           "\n\n\t\tCarbon layer thickness: " + Fixed(r.carbon, 1) + " (nm)" +
           SigmaErrorLines(r.carbonErrors, 1, "   ", " (nm)") + kBlockEnd;
}

std::string WriteContaminationReport(const std::string& firstName, const std::string& secondName,
                                     const Contamination& result) {
    return "Results of contamination evaluation using the NiOx thin specimen\n" +
           WriteContaminationBlock(firstName, secondName, result);
}

}  // namespace xray
