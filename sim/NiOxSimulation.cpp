#include "sim/NiOxSimulation.h"

#include <cmath>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "sim/CountGenerator.h"

namespace xray {

namespace {

constexpr double kMnKa = 5.8982451;   // keV
constexpr double kWidthSlope = 2.49;  // eV^2 per eV of line energy
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kNickelKbOfKa = 0.136;
constexpr double kMolybdenumKbOfKa = 0.168;
constexpr double kAbsorption = 0.35;  // keV^3: transmission exp(-kAbsorption / E^3)
constexpr int32_t kMaxSimulatedChannels = 1 << 20;

// Attenuation per metre of layer, as the contamination evaluation assumes.
constexpr double kIceO = 108881.829;
constexpr double kCarbonO = 2648053.229;
constexpr double kIceL = 623378.434;
constexpr double kCarbonL = 754360.119;
constexpr double kMetresPerNanometre = 1e-9;

struct LineEnergy {
    const char* name;
    double energy;  // keV
};
constexpr LineEnergy kLines[] = {{"O Ka", 0.5249},  {"Ni La", 0.8511}, {"Ni Ka", 7.4781},
                                 {"Ni Kb", 8.2647}, {"Mo La", 2.2932}, {"Mo Ka", 17.4793},
                                 {"Mo Kb", 19.6072}};

double VoltageFactorOf(double kv) {
    constexpr double kVolts[] = {80, 100, 120, 200, 300, 400};
    constexpr double kFactors[] = {2.6, 2.9, 3.2, 4.0, 4.8, 5.3};
    for (int i = 0; i < 6; ++i)
        if (kv == kVolts[i])
            return kFactors[i];
    return 0.0;
}

double CombinedTilt(double xTilt, double yTilt) {
    const double tx = std::tan(xTilt / kDegreesPerRadian);
    const double ty = std::tan(yTilt / kDegreesPerRadian);
    return std::atan(std::sqrt(tx * tx + ty * ty));
}

void Require(bool condition, const char* message) {
    if (!condition)
        throw std::invalid_argument(message);
}

// Expected counts of each line, in the order of kLines.
std::vector<double> LineCounts(const NiOxSimulationParameters& p) {
    const double niKa = NickelKaCounts(p);
    const double moKa = niKa / p.inverseHoleCount;
    return {niKa * p.oxygenFraction * OxygenTransmission(p.iceThickness, p.carbonThickness),
            niKa * p.nickelLFraction * NickelLTransmission(p.iceThickness, p.carbonThickness),
            niKa,
            niKa * kNickelKbOfKa,
            moKa / p.moKL,
            moKa,
            moKa * kMolybdenumKbOfKa};
}

// Fraction of a Gaussian line inside [lower, upper] keV.
double FractionBetween(const SimulatedLine& line, double lower, double upper) {
    const double sigma = line.fwhm / 1000.0 / (2.0 * std::sqrt(2.0 * std::log(2.0)));
    const double scale = 1.0 / (sigma * std::sqrt(2.0));
    return 0.5 *
           (std::erf((upper - line.energy) * scale) - std::erf((lower - line.energy) * scale));
}

std::vector<double> ExpectedCounts(const NiOxSimulationParameters& p,
                                   const std::vector<SimulatedLine>& lines) {
    std::vector<double> expected(static_cast<size_t>(p.channels));
    for (size_t i = 0; i < expected.size(); ++i) {
        const double energy = kSimulatedChannelWidth * static_cast<double>(i);
        const double lower = energy - 0.5 * kSimulatedChannelWidth;
        const double upper = energy + 0.5 * kSimulatedChannelWidth;
        double sum = BackgroundCounts(p, energy);
        for (const SimulatedLine& line : lines)
            sum += line.counts * FractionBetween(line, lower, upper);
        expected[i] = sum;
    }
    return expected;
}

}  // namespace

double LineWidth(double resolutionMnKa, double energy) {
    return std::sqrt(resolutionMnKa * resolutionMnKa + kWidthSlope * 1000.0 * (energy - kMnKa));
}

double NickelKaCounts(const NiOxSimulationParameters& p) {
    return p.solidAngle * p.filmThickness * p.liveTime * (p.probeCurrent * 1000.0) /
           (VoltageFactorOf(p.beamVoltage) * std::cos(CombinedTilt(p.xTilt, p.yTilt)));
}

double OxygenTransmission(double iceNm, double carbonNm) {
    return std::exp(-(kIceO * iceNm + kCarbonO * carbonNm) * kMetresPerNanometre);
}

double NickelLTransmission(double iceNm, double carbonNm) {
    return std::exp(-(kIceL * iceNm + kCarbonL * carbonNm) * kMetresPerNanometre);
}

double BackgroundCounts(const NiOxSimulationParameters& p, double energy) {
    if (!(energy > 0.0) || energy >= p.beamVoltage)
        return 0.0;
    const double detector = std::exp(-kAbsorption / (energy * energy * energy));
    return p.background * p.probeCurrent * p.liveTime * (1.0 / energy) *
           (1.0 - energy / p.beamVoltage) * detector;
}

void CheckParameters(const NiOxSimulationParameters& p) {
    Require(p.channels > 0 && p.channels <= kMaxSimulatedChannels,
            "The channel count must lie between 1 and 1048576.");
    Require(VoltageFactorOf(p.beamVoltage) > 0.0,
            "The beam voltage must be 80, 100, 120, 200, 300 or 400 kV.");
    Require(p.probeCurrent > 0.0, "The probe current must be positive.");
    Require(p.liveTime > 0.0, "The live time must be positive.");
    Require(p.realTime >= p.liveTime, "The real time must not be shorter than the live time.");
    Require(std::fabs(p.xTilt) < 90.0 && std::fabs(p.yTilt) < 90.0,
            "The tilts must lie between -90 and 90 degrees.");
    Require(p.filmThickness > 0.0, "The film thickness must be positive.");
    Require(LineWidth(p.resolutionMnKa, kLines[0].energy) > 1.0,
            "The Mn Ka resolution is too small for the width law at O Ka (above 116 eV).");
    Require(p.solidAngle > 0.0, "The solid angle must be positive.");
    Require(p.inverseHoleCount > 0.0, "The inverse hole count must be positive.");
    Require(p.moKL > 0.0, "The Mo K/L ratio must be positive.");
    Require(p.oxygenFraction >= 0.0 && p.nickelLFraction >= 0.0,
            "The O K and Ni L fractions must not be negative.");
    Require(p.iceThickness >= 0.0 && p.carbonThickness >= 0.0,
            "The ice and carbon thicknesses must not be negative.");
    Require(p.background >= 0.0, "The background must not be negative.");
}

SimulatedNiOxSpectrum SimulateNiOxSpectrum(const NiOxSimulationParameters& p) {
    CheckParameters(p);
    SimulatedNiOxSpectrum s;
    s.parameters = p;
    const std::vector<double> counts = LineCounts(p);
    for (size_t i = 0; i < counts.size(); ++i)
        s.lines.push_back({kLines[i].name, kLines[i].energy, counts[i],
                           LineWidth(p.resolutionMnKa, kLines[i].energy)});
    s.expected = ExpectedCounts(p, s.lines);
    CountGenerator generator(p.generatorState);
    s.counts.reserve(s.expected.size());
    for (double mean : s.expected)
        s.counts.push_back(static_cast<double>(generator.Poisson(mean)));
    return s;
}

std::string DescribeTruth(const SimulatedNiOxSpectrum& s) {
    const NiOxSimulationParameters& p = s.parameters;
    std::ostringstream out;
    out.exceptions(std::ios_base::badbit);  // a failed allocation must not cut the text short
    out.imbue(std::locale::classic());
    out << "Truth of the simulated NiOx spectrum (generator state " << p.generatorState << ")\n"
        << "  channels:             " << p.channels << " of 10 eV from 0 eV\n"
        << "  beam voltage:         " << p.beamVoltage << " kV\n"
        << "  probe current:        " << p.probeCurrent << " nA\n"
        << "  live time:            " << p.liveTime << " s (real time " << p.realTime << " s)\n"
        << "  stage tilts:          " << p.xTilt << ", " << p.yTilt << " degrees\n"
        << "  film thickness:       " << p.filmThickness << " nm\n"
        << "  solid angle:          " << p.solidAngle << " sr\n"
        << "  inverse hole count:   " << p.inverseHoleCount << "\n"
        << "  Mo K/L ratio:         " << p.moKL << "\n"
        << "  FWHM at Mn Ka:        " << p.resolutionMnKa << " eV\n"
        << "  FWHM at Ni Ka:        " << LineWidth(p.resolutionMnKa, kLines[2].energy) << " eV\n"
        << "  extra ice layer:      " << p.iceThickness << " nm\n"
        << "  extra carbon layer:   " << p.carbonThickness << " nm\n"
        << "  line counts:\n";
    for (const SimulatedLine& line : s.lines)
        out << "    " << line.name << " at " << line.energy << " keV: " << line.counts << " (FWHM "
            << line.fwhm << " eV)\n";
    return out.str();
}

}  // namespace xray
