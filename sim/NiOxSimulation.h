// NiOxSimulation: synthetic EDS spectra of the NiOx thin test specimen with known truth,
// for validating the NiOx evaluations and for sample files.
//
// Model: channels of 10 eV, channel i centred on i x 10 eV. Seven Gaussian lines (O Ka,
// Ni La, Ni Ka, Ni Kb, Mo La, Mo Ka, Mo Kb) whose FWHM follows
// FWHM(E)^2 = R^2 + 2.49 eV x (E - 5898.2451 eV), R being the Mn Ka FWHM; each line's
// counts are integrated over the channel's width. The Ni Ka counts follow from the chosen
// solid angle through the solid-angle formula (N = omega d t I 1000 / (K cos theta)); Mo Ka
// from the inverse hole count, Mo La from the Mo K/L ratio, Ni Kb and Mo Kb as fixed
// fractions of their Ka lines, O Ka and Ni La as chosen fractions of Ni Ka, attenuated by
// optional extra ice and carbon layers. A bremsstrahlung background falls as
// (1/E)(1 - E/E0) up to the beam energy E0 and is rolled off below about 1 keV by detector
// absorption; it grows with probe current and live time. Poisson noise comes from CountGenerator,
// so a spectrum is the same for the same parameters and generator state on every platform.
//
// Failures: SimulateNiOxSpectrum throws std::invalid_argument naming the parameter when
// a parameter is outside what the model supports. Results are plain values.
#ifndef XRAY_SIM_NIOXSIMULATION_H
#define XRAY_SIM_NIOXSIMULATION_H

#include <cstdint>
#include <string>
#include <vector>

namespace xray {

struct NiOxSimulationParameters {
    int32_t channels = 2048;         // of 10 eV, from 0 eV
    double beamVoltage = 200.0;      // kV; one of 80, 100, 120, 200, 300, 400
    double probeCurrent = 1.0;       // nA
    double liveTime = 100.0;         // s
    double realTime = 110.0;         // s
    double xTilt = 0.0;              // degrees
    double yTilt = 0.0;              // degrees
    double filmThickness = 50.0;     // nm
    double resolutionMnKa = 130.0;   // eV, FWHM at Mn Ka
    double solidAngle = 0.12;        // sr
    double inverseHoleCount = 50.0;  // Ni Ka counts over Mo Ka counts
    double moKL = 1.0;               // Mo Ka counts over Mo La counts
    double oxygenFraction = 0.3;     // O Ka counts over Ni Ka counts, before the layers
    double nickelLFraction = 0.2;    // Ni La counts over Ni Ka counts, before the layers
    double iceThickness = 0.0;       // nm of extra ice
    double carbonThickness = 0.0;    // nm of extra carbon
    double background = 2.0;         // counts per channel at 1 keV per nA and s, before absorption
    uint64_t generatorState = 1;
};

struct SimulatedLine {
    std::string name;  // "Ni Ka"
    double energy;     // keV
    double counts;     // expected counts of the whole line
    double fwhm;       // eV
};

struct SimulatedNiOxSpectrum {
    NiOxSimulationParameters parameters;
    std::vector<SimulatedLine> lines;  // in the order of LineNames()
    std::vector<double> expected;      // noise-free counts per channel
    std::vector<double> counts;        // Poisson counts per channel
};

constexpr double kSimulatedChannelWidth = 0.01;  // keV

// FWHM in eV at `energy` keV for a Mn Ka FWHM of `resolutionMnKa` eV.
double LineWidth(double resolutionMnKa, double energy);

// The Ni Ka counts the solid-angle formula gives for the parameters.
double NickelKaCounts(const NiOxSimulationParameters& parameters);

// O Ka and Ni La transmission through the extra ice and carbon layers.
double OxygenTransmission(double iceNm, double carbonNm);
double NickelLTransmission(double iceNm, double carbonNm);

// Noise-free background counts of the channel centred on `energy` keV.
double BackgroundCounts(const NiOxSimulationParameters& parameters, double energy);

// Throws std::invalid_argument for an unsupported parameter.
void CheckParameters(const NiOxSimulationParameters& parameters);

SimulatedNiOxSpectrum SimulateNiOxSpectrum(const NiOxSimulationParameters& parameters);

// The truth, one quantity per line, for people.
std::string DescribeTruth(const SimulatedNiOxSpectrum& spectrum);

}  // namespace xray

#endif  // XRAY_SIM_NIOXSIMULATION_H
