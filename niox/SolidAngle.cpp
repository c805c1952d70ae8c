#include "niox/SolidAngle.h"

#include <cmath>

#include "niox/ReportFormat.h"

namespace xray {

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kCurrentFactor = 1000;
constexpr double kEfficiencyNormal = 0.7864;

struct VoltageEntry {
    double kilovolts, factor;
};
constexpr VoltageEntry kVoltageFactors[] = {{80, 2.6},  {100, 2.9}, {120, 3.2},
                                            {200, 4.0}, {300, 4.8}, {400, 5.3}};

const char* const kSolidAngleTitle = "\n************ Results of solid-angle ************\n";
const char* const kEfficiencyTitle = "\n******** Results of detector efficiency ********\n";
const char* const kVoltageMessage =
    "\n Wrong accelerating voltage "
    "\n Solid angle can be determined only at "
    "\n 80, 100, 120, 200, 300 and 400 kV\n"
    " \n************************************************\n\n";

double CombinedTilt(double xTilt, double yTilt) {
    const double tx = std::tan(xTilt / kDegreesPerRadian);
    const double ty = std::tan(yTilt / kDegreesPerRadian);
    return std::atan(std::sqrt(tx * tx + ty * ty));
}

// s, s + s and 3 s, with s the relative counting error of `net` applied to `value`.
SigmaErrors RelativeErrors(double net, double value) {
    const double s = std::sqrt(net) * value / net;
    return SigmaErrors{s, s + s, 3 * s};
}

}  // namespace

double VoltageFactor(double voltage) {
    for (const VoltageEntry& e : kVoltageFactors)
        if (voltage == e.kilovolts)
            return e.factor;
    return 0.0;
}

SolidAngle ComputeSolidAngle(const SolidAngleInput& in, const WindowTable& windows) {
    SolidAngle r;
    r.net = windows(kNickelK, kNet);
    r.background = windows(kNickelK, kBackground);
    r.filmThickness = in.filmThickness;
    r.liveTime = in.liveTime;
    r.probeCurrent = in.probeCurrent;
    r.voltageFactor = VoltageFactor(in.voltage);
    r.tilt = CombinedTilt(in.xTilt, in.yTilt);
    r.solidAngle = (r.voltageFactor * std::cos(r.tilt) * r.net) /
                   (in.filmThickness * in.liveTime * (in.probeCurrent * kCurrentFactor));
    r.efficiency = r.net / (in.liveTime * in.probeCurrent * r.solidAngle);
    r.normalisedEfficiency = r.efficiency / kEfficiencyNormal;
    r.solidAngleErrors = RelativeErrors(r.net, r.solidAngle);
    r.efficiencyErrors = RelativeErrors(r.net, r.efficiency);
    r.normalisedEfficiencyErrors = RelativeErrors(r.net, r.normalisedEfficiency);
    return r;
}

std::string WriteSolidAngleBlock(const SolidAngle& r) {
    if (!r.valid())
        return std::string(kSolidAngleTitle) + kVoltageMessage;
    return kSolidAngleTitle + MeasuredNiKIntensities(r.net, r.background) +
           "\n\n\t\tFilm thikness:    " + Fixed(r.filmThickness, 1) +
           " (nm)\n\t\tAcquisition time: " + Fixed(r.liveTime, 1) +
           " (s)\n\t\tProbe current:    " + Fixed(r.probeCurrent, 1) +
           " (nA)\n\n\t\tCollection angle:  " + Fixed(r.solidAngle, 4) + " (sr)" +
           SigmaErrorLines(r.solidAngleErrors, 4, " ", " (sr)") + kBlockEnd;
}

std::string WriteDetectorEfficiencyBlock(const SolidAngle& r) {
    if (!r.valid())
        return std::string(kEfficiencyTitle) + kVoltageMessage;
    const char* const unit = " (cps/nA/sr)";
    return kEfficiencyTitle + MeasuredNiKIntensities(r.net, r.background) +
           "\n\t\tAcquisition time: " + Fixed(r.liveTime, 1) +
           " (s)\n\t\tProbe current:    " + Fixed(r.probeCurrent, 1) +
           " (nA)\n\t\tCollection angle:  " + Fixed(r.solidAngle, 4) +
           " (sr)\n\n\t\tDetector efficiency: " + Fixed(r.efficiency, 4) + unit +
           SigmaErrorLines(r.efficiencyErrors, 4, " ", unit) +
           "\n\n\t\tNormalized detector efficiency: " + Fixed(r.normalisedEfficiency, 4) + unit +
           SigmaErrorLines(r.normalisedEfficiencyErrors, 4, " ", unit) + kBlockEnd;
}

std::string EvaluateSolidAngle(int selection, double filmThickness, double voltage, double xTilt,
                               double yTilt, double probeCurrent, double liveTime,
                               const WindowTable& windows) {
    const SolidAngle r = ComputeSolidAngle(
        SolidAngleInput{filmThickness, voltage, xTilt, yTilt, probeCurrent, liveTime}, windows);
    switch (selection) {
        case kSolidAngleOnly:
            return WriteSolidAngleBlock(r);
        case kEfficiencyOnly:
            return WriteDetectorEfficiencyBlock(r);
        case kSolidAngleAndEfficiency:
            return WriteSolidAngleBlock(r) + WriteDetectorEfficiencyBlock(r);
        default:
            return std::string();
    }
}

}  // namespace xray
