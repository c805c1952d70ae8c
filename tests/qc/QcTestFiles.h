// QcTestFiles: the files the QC tests work on: a fresh folder per test, simulated NiOx
// spectra of known truth with a chosen acquisition time, and files read back byte for byte.
#ifndef XRAY_TESTS_QC_QCTESTFILES_H
#define XRAY_TESTS_QC_QCTESTFILES_H

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/IsoTime.h"
#include "sim/NiOxSimulation.h"
#include "sim/SimulatedEMSAFile.h"
#include "tests/support/ProgramRun.h"

namespace qctest {

// An empty folder named after the running test.
inline std::string FreshFolder() {
    const std::string folder = testsupport::TestFile(".d");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
}

// Writes a simulated spectrum acquired at `acquired` ("YYYY-MM-DDThh:mm") to `path`.
inline std::string WriteSpectrum(const std::string& path, xray::NiOxSimulationParameters p,
                                 const std::string& acquired) {
    p.realTime = 1.1 * p.liveTime;
    const xray::SimulatedNiOxSpectrum spectrum = xray::SimulateNiOxSpectrum(p);
    WriteBytes(path, xray::WriteSimulatedEMSAText(spectrum, "QC test spectrum",
                                                  *xrayutils::ParseIsoTime(acquired)));
    return path;
}

// A spectrum of week `week` (from 1) of a detector whose resolution and ice are given.
inline xray::NiOxSimulationParameters Week(int week, double resolution = 130.0, double ice = 0.0) {
    xray::NiOxSimulationParameters p;
    p.resolutionMnKa = resolution;
    p.iceThickness = ice;
    p.generatorState = static_cast<uint64_t>(100 + week);
    return p;
}

// "2026-01-05T09:00" plus `week` - 1 weeks, for weeks 1 to 52.
inline std::string WeekTime(int week) {
    static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int day = 5 + 7 * (week - 1);
    int month = 0;
    while (day > kMonthDays[month])
        day -= kMonthDays[month++];
    char text[32];
    std::snprintf(text, sizeof text, "2026-%02d-%02dT09:00", month + 1, day);
    return text;
}

}  // namespace qctest

#endif  // XRAY_TESTS_QC_QCTESTFILES_H
