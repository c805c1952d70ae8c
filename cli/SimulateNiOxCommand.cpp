// `xrayutils simulate-niox [OPTIONS] -o FILE.msa`: writes a synthetic NiOx test spectrum of
// known truth as a standard-layout EMSA/MAS file and prints the truth. Needs no module.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "cli/ArgumentParser.h"
#include "cli/SubCommand.h"
#include "sim/NiOxSimulation.h"
#include "sim/SimulatedEMSAFile.h"

namespace xrayutils {

using namespace xray;
namespace {

struct NumberOption {
    const char* name;
    double NiOxSimulationParameters::*member;
};

constexpr NumberOption kNumberOptions[] = {
    {"--beam-kv", &NiOxSimulationParameters::beamVoltage},
    {"--probe-current", &NiOxSimulationParameters::probeCurrent},
    {"--live-time", &NiOxSimulationParameters::liveTime},
    {"--real-time", &NiOxSimulationParameters::realTime},
    {"--x-tilt", &NiOxSimulationParameters::xTilt},
    {"--y-tilt", &NiOxSimulationParameters::yTilt},
    {"--thickness", &NiOxSimulationParameters::filmThickness},
    {"--resolution", &NiOxSimulationParameters::resolutionMnKa},
    {"--solid-angle", &NiOxSimulationParameters::solidAngle},
    {"--hole-count", &NiOxSimulationParameters::inverseHoleCount},
    {"--mo-kl", &NiOxSimulationParameters::moKL},
    {"--oxygen", &NiOxSimulationParameters::oxygenFraction},
    {"--nickel-l", &NiOxSimulationParameters::nickelLFraction},
    {"--ice", &NiOxSimulationParameters::iceThickness},
    {"--carbon", &NiOxSimulationParameters::carbonThickness},
    {"--background", &NiOxSimulationParameters::background},
};

struct SimulateOptions {
    NiOxSimulationParameters parameters;
    std::string output;
    std::string title = "Simulated NiOx test spectrum";
};

ArgumentSpec SimulateArguments() {
    ArgumentSpec spec{0, {}, {"--channels", "--state", "--title", "-o", "--output"}};
    for (const NumberOption& option : kNumberOptions)
        spec.valueOptions.insert(option.name);
    return spec;
}

SimulateOptions ParseOptions(const std::vector<std::string>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, SimulateArguments());
    SimulateOptions o;
    NiOxSimulationParameters& p = o.parameters;
    for (const NumberOption& option : kNumberOptions)
        if (const auto value = parsed.Value(option.name))
            p.*option.member = ParseNumber(*value, option.name);
    if (!parsed.Value("--real-time"))
        p.realTime = 1.1 * p.liveTime;
    if (const auto channels = parsed.Value("--channels"))
        p.channels = static_cast<int32_t>(  // the simulator rejects too many channels
            std::min<uint32_t>(ParseUnsigned(*channels, "--channels"), INT32_MAX));
    if (const auto state = parsed.Value("--state"))
        p.generatorState = ParseUnsigned(*state, "--state");
    o.title = parsed.Value("--title").value_or(o.title);
    o.output = parsed.Value("-o").value_or(parsed.Value("--output").value_or(""));
    if (o.output.empty())
        throw UsageError("missing -o FILE.msa");
    return o;
}

int RunSimulateNiOx(const std::vector<std::string>& arguments, CommandContext& context) {
    const SimulateOptions o = ParseOptions(arguments);
    SimulatedNiOxSpectrum spectrum;
    try {
        spectrum = SimulateNiOxSpectrum(o.parameters);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
    std::ofstream file(o.output, std::ios::binary);
    file << WriteSimulatedEMSAText(spectrum, o.title);
    if (!file.flush())
        throw std::runtime_error("cannot write " + o.output);
    context.out << "Wrote " << o.output << "\n" << DescribeTruth(spectrum);
    return 0;
}

}  // namespace

const SubCommand kSimulateNiOxCommand = {
    "simulate-niox", "[OPTIONS] -o FILE.msa", "write a synthetic NiOx test spectrum of known truth",
    "Writes a synthetic EDS spectrum of the NiOx thin test specimen to FILE.msa as a\n"
    "standard-layout EMSA/MAS file and prints the truth it was made from. The same options\n"
    "give the same file. Options (defaults in brackets):\n"
    "  --channels N         channels of 10 eV from 0 eV [2048]\n"
    "  --beam-kv KV         80, 100, 120, 200, 300 or 400 [200]\n"
    "  --probe-current NA   [1]       --live-time S [100]   --real-time S [1.1 x live]\n"
    "  --x-tilt DEG         [0]       --y-tilt DEG [0]\n"
    "  --thickness NM       NiOx film thickness [50]\n"
    "  --resolution EV      FWHM at Mn Ka, above 116 eV [130]\n"
    "  --solid-angle SR     sets the Ni Ka counts through the solid-angle formula [0.12]\n"
    "  --hole-count R       Ni Ka over Mo Ka counts [50]\n"
    "  --mo-kl R            Mo Ka over Mo La counts [1]\n"
    "  --oxygen F           O Ka over Ni Ka counts [0.3]\n"
    "  --nickel-l F         Ni La over Ni Ka counts [0.2]\n"
    "  --ice NM, --carbon NM  extra contamination layers [0]\n"
    "  --background C       background counts per channel at 1 keV per nA and s [2]\n"
    "  --state N            generator state of the Poisson noise [1]\n"
    "  --title TEXT         the file's TITLE",
    RunSimulateNiOx};

}  // namespace xrayutils
