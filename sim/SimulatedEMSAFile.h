// SimulatedEMSAFile: a simulated NiOx spectrum as the text of a standard-layout EMSA/MAS
// file (ISO 22029): "#KEYWORD-unit: value" with the colon in column 14 and the value from
// column 16, the energy axis in eV, one channel value per line, and the microscope
// values the NiOx evaluations read (BEAMKV, PROBECUR, LIVETIME, REALTIME, the stage tilts)
// with SIGNALTYPE EDS. The date and time are fixed, so the same spectrum always gives the
// same text. Nothing here throws except std::bad_alloc.
#ifndef XRAY_SIM_SIMULATEDEMSAFILE_H
#define XRAY_SIM_SIMULATEDEMSAFILE_H

#include <string>

#include "sim/NiOxSimulation.h"

namespace xray {

// One header line: `keyword` and `unit` ("" for none) right-aligned before the colon.
std::string EMSAHeaderLine(const std::string& keyword, const std::string& unit,
                           const std::string& value);

std::string WriteSimulatedEMSAText(const SimulatedNiOxSpectrum& spectrum, const std::string& title);

}  // namespace xray

#endif  // XRAY_SIM_SIMULATEDEMSAFILE_H
