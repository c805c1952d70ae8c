// SimulatedEMSAFile: a simulated NiOx spectrum as the text of a standard-layout EMSA/MAS
// file (ISO 22029): "#KEYWORD-unit: value" with the colon in column 14 and the value from
// column 16, the energy axis in eV, one channel value per line, and the microscope
// values the NiOx evaluations read (BEAMKV, PROBECUR, LIVETIME, REALTIME, the stage tilts)
// with SIGNALTYPE EDS. DATE and TIME are those given, 2026-01-01 12:00 unless told, so the
// same spectrum always gives the same text. Nothing here throws except std::bad_alloc.
#ifndef XRAY_SIM_SIMULATEDEMSAFILE_H
#define XRAY_SIM_SIMULATEDEMSAFILE_H

#include <string>

#include "emsa/EMSASpectrum.h"
#include "sim/NiOxSimulation.h"

namespace xray {

// One header line: `keyword` and `unit` ("" for none) right-aligned before the colon.
std::string EMSAHeaderLine(const std::string& keyword, const std::string& unit,
                           const std::string& value);

// The acquisition time the simulated files carry unless told otherwise.
CalendarTime SimulatedAcquisitionTime();

// REQUIRES: `acquired` is a calendar time (months from 0); TIME carries seconds only when
// they are not zero.
std::string WriteSimulatedEMSAText(const SimulatedNiOxSpectrum& spectrum, const std::string& title,
                                   const CalendarTime& acquired = SimulatedAcquisitionTime());

}  // namespace xray

#endif  // XRAY_SIM_SIMULATEDEMSAFILE_H
