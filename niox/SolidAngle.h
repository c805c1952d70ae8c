// Collection solid angle and detector efficiency from the net Ni K counts of a NiOx film
// of known thickness, at one of six supported accelerating voltages.
//
// For any other voltage the voltage factor is 0, the solid angle is not positive, and
// both blocks carry the voltage message instead of numbers. The same message appears
// whenever the solid angle is not positive or not a number (no net counts, a zero
// thickness, time or current). Errors are the relative counting error 1/sqrt(N) of the
// net count, times 1, 2 and 3.
#ifndef XRAY_NIOX_SOLIDANGLE_H
#define XRAY_NIOX_SOLIDANGLE_H

#include <string>

#include "niox/NiOxWindows.h"
#include "niox/PerturbationError.h"

namespace xray {

struct SolidAngleInput {
    double filmThickness = 0.0;  // nm
    double voltage = 0.0;        // kV
    double xTilt = 0.0;          // degrees
    double yTilt = 0.0;          // degrees
    double probeCurrent = 0.0;   // nA
    double liveTime = 0.0;       // s
};

struct SolidAngle {
    double net = 0.0;         // Ni K counts
    double background = 0.0;  // Ni K counts
    double filmThickness = 0.0;
    double liveTime = 0.0;
    double probeCurrent = 0.0;
    double voltageFactor = 0.0;  // 0 for an unsupported voltage
    double tilt = 0.0;           // combined tilt angle, radians
    double solidAngle = 0.0;     // sr
    SigmaErrors solidAngleErrors{};
    double efficiency = 0.0;  // counts per second per nA per sr
    SigmaErrors efficiencyErrors{};
    double normalisedEfficiency = 0.0;
    SigmaErrors normalisedEfficiencyErrors{};
    bool valid() const { return solidAngle > 0.0; }
};

// Which blocks EvaluateSolidAngle returns; any other value returns no text.
enum SolidAngleSelection : int {
    kSolidAngleOnly = 1,
    kEfficiencyOnly = 2,
    kSolidAngleAndEfficiency = 3
};

// The voltage factor for `voltage` in kV, matched exactly; 0 for any other voltage.
double VoltageFactor(double voltage);

SolidAngle ComputeSolidAngle(const SolidAngleInput& input, const WindowTable& windows);
std::string WriteSolidAngleBlock(const SolidAngle& result);
std::string WriteDetectorEfficiencyBlock(const SolidAngle& result);

// The solid-angle block, the detector-efficiency block, or both in that order.
std::string EvaluateSolidAngle(int selection, double filmThickness, double voltage, double xTilt,
                               double yTilt, double probeCurrent, double liveTime,
                               const WindowTable& windows);

}  // namespace xray

#endif  // XRAY_NIOX_SOLIDANGLE_H
