// `xrayutils simulate-niox [OPTIONS] -o FILE.msa`: writes a synthetic NiOx test spectrum of
// known truth as a standard-layout EMSA/MAS file and prints the truth. Needs no module.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/IsoTime.h"
#include "sim/NiOxSimulation.h"
#include "sim/SimulatedEMSAFile.h"

namespace xrayutils {

using namespace xray;
namespace {

struct NumberOption {
    const char* name;
    double NiOxSimulationParameters::*member;
    const char* help;
};

constexpr NumberOption kNumberOptions[] = {
    {"--beam-kv", &NiOxSimulationParameters::beamVoltage, "KV: 80, 100, 120, 200, 300 or 400"},
    {"--probe-current", &NiOxSimulationParameters::probeCurrent, "NA"},
    {"--live-time", &NiOxSimulationParameters::liveTime, "S"},
    {"--real-time", &NiOxSimulationParameters::realTime, "S (default 1.1 x live time)"},
    {"--x-tilt", &NiOxSimulationParameters::xTilt, "DEG"},
    {"--y-tilt", &NiOxSimulationParameters::yTilt, "DEG"},
    {"--thickness", &NiOxSimulationParameters::filmThickness, "NM: NiOx film thickness"},
    {"--resolution", &NiOxSimulationParameters::resolutionMnKa, "EV: FWHM at Mn Ka, above 116 eV"},
    {"--solid-angle", &NiOxSimulationParameters::solidAngle,
     "SR: sets the Ni Ka counts through the solid-angle formula"},
    {"--hole-count", &NiOxSimulationParameters::inverseHoleCount, "R: Ni Ka over Mo Ka counts"},
    {"--mo-kl", &NiOxSimulationParameters::moKL, "R: Mo Ka over Mo La counts"},
    {"--oxygen", &NiOxSimulationParameters::oxygenFraction, "F: O Ka over Ni Ka counts"},
    {"--nickel-l", &NiOxSimulationParameters::nickelLFraction, "F: Ni La over Ni Ka counts"},
    {"--ice", &NiOxSimulationParameters::iceThickness, "NM: extra ice layer"},
    {"--carbon", &NiOxSimulationParameters::carbonThickness, "NM: extra carbon layer"},
    {"--background", &NiOxSimulationParameters::background,
     "C: background counts per channel at 1 keV per nA and s"},
};

class SimulateNiOxCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("simulate-niox");
        command.description("write a synthetic NiOx test spectrum of known truth");
        command.footer(
            "Writes a synthetic EDS spectrum of the NiOx thin test specimen to FILE.msa as a "
            "standard-layout EMSA/MAS file and prints the truth it was made from. The same "
            "options give the same file. Its DATE and TIME are 01-JAN-2026 12:00 unless "
            "--acquired gives others.");
        command.add_option("-o,--output", fOutput, "the EMSA/MAS file to write")
            ->type_name("FILE.msa")
            ->required();
        command.add_option("--channels", fParameters.channels, "channels of 10 eV from 0 eV")
            ->capture_default_str()
            ->check(CLI::PositiveNumber);
        for (const NumberOption& option : kNumberOptions)
            command.add_option(option.name, fParameters.*option.member, option.help)
                ->capture_default_str();
        command
            .add_option("--state", fParameters.generatorState,
                        "generator state of the Poisson noise")
            ->capture_default_str();
        command.add_option("--title", fTitle, "the file's TITLE")->capture_default_str();
        command
            .add_option("--acquired", fAcquired,
                        "the file's DATE and TIME: YYYY-MM-DD[Thh:mm[:ss]]")
            ->type_name("ISO-DATE");
        fRealTime = command.get_option("--real-time");
    }

    int Run(CommandContext& context) override {
        if (fRealTime->count() == 0)
            fParameters.realTime = 1.1 * fParameters.liveTime;
        CalendarTime acquired = SimulatedAcquisitionTime();
        if (!fAcquired.empty()) {
            const std::optional<CalendarTime> given = ParseIsoTime(fAcquired);
            if (!given)
                throw UsageError(
                    "--acquired takes a time as YYYY-MM-DD, YYYY-MM-DDThh:mm or "
                    "YYYY-MM-DDThh:mm:ss, not \"" +
                    fAcquired + "\"");
            acquired = *given;
        }
        SimulatedNiOxSpectrum spectrum;
        try {
            spectrum = SimulateNiOxSpectrum(fParameters);
        } catch (const std::invalid_argument& e) {
            throw UsageError(e.what());
        }
        std::ofstream file(fOutput, std::ios::binary);
        file << WriteSimulatedEMSAText(spectrum, fTitle, acquired);
        if (!file.flush())
            throw std::runtime_error("cannot write " + fOutput);
        context.out << "Wrote " << fOutput << "\n" << DescribeTruth(spectrum);
        return kSuccess;
    }

  private:
    NiOxSimulationParameters fParameters;
    std::string fOutput;
    std::string fTitle = "Simulated NiOx test spectrum";
    std::string fAcquired;
    CLI::Option* fRealTime = nullptr;
};

}  // namespace

std::unique_ptr<Command> MakeSimulateNiOxCommand() {
    return std::make_unique<SimulateNiOxCommand>();
}

}  // namespace xrayutils
