// SpectrumTagValues: the values an imported spectrum's tags carry that are derived from
// the record rather than copied from one member: mode and detector texts, date and clock
// texts, the acquisition end time, energy range and window thickness (the count rate is summed
// as the channels are read into the image).
//
// Pure functions of an EMSASpectrum (or part of one); nothing here touches the host, holds
// state or throws except std::bad_alloc. Integers in texts are plain decimal without
// padding. Energies of EDS and ELS spectra are in kV (ELS records hold eV); those of other
// spectra, whose unit is not known, as the record holds them.
#ifndef XRAY_EMSA_SPECTRUMTAGVALUES_H
#define XRAY_EMSA_SPECTRUMTAGVALUES_H

#include <cstdint>
#include <string>

#include "emsa/EMSASpectrum.h"

namespace xray {

// A time of day on the 24-hour clock.
struct ClockTime {
    int64_t hour = 0;
    int64_t minute = 0;
    int64_t second = 0;
};

// "IMAGE", "DIFFR", "SCIMG", "SCDIF", or empty when the mode was not given.
std::string OperationModeText(OperMode mode);
// "TEM" for no mode, IMAGE and DIFFR; "STEM" for the scanning modes.
std::string IlluminationModeText(OperMode mode);
// "IMG" for no mode, IMAGE and SCIMG; "DIFF" for the diffraction modes.
std::string ImagingModeText(OperMode mode);

// The EDS detector's name for EDS spectra, the spectrometer's for ELS spectra, otherwise
// (and for a detector that was not given) empty.
std::string DetectorTypeText(const EMSASpectrum& spectrum);

// month + 1, day and year joined by slashes: "1/12/2010". Empty when the record holds no
// whole date: a member still negative was not given or not recognised.
std::string DateText(const CalendarTime& acquired);

// "9:5:3 AM": hours above 12 count from 12 with "PM", and a clock hour of exactly 12 then
// becomes 0 with the suffix swapped, so 12:30 is "0:30:0 PM" and 00:30 "0:30:0 AM".
std::string ClockText(const ClockTime& time);

// The start time plus the acquisition's duration (real time for EDS, dwell time for ELS,
// none otherwise) in whole hours, minutes and seconds, the hour taken modulo 24: a run
// that ends after midnight ends earlier on the clock than it started. No date change is
// made.
ClockTime EndTime(const EMSASpectrum& spectrum);

// The clock texts of the start and the end time; both empty when the record holds no whole
// time of day (a member still negative), since the end is then unknown as well.
std::string StartTimeText(const CalendarTime& acquired);
std::string EndTimeText(const EMSASpectrum& spectrum);

// The channel width in kV: xperchan, which holds eV for ELS spectra, divided by 1000 for
// them; as held for every other spectrum (keV for EDS).
double Dispersion(const EMSASpectrum& spectrum);

// (npoints - choffset) channels of the channel width in kV, truncated toward zero to whole
// kV (an ELS range of 6345.7 eV gives 6).
double EnergyRange(const EMSASpectrum& spectrum);

// The thickness member of the spectrum's window type; 0.0 for an unknown type.
double WindowThickness(const EMSASpectrum& spectrum);

}  // namespace xray

#endif  // XRAY_EMSA_SPECTRUMTAGVALUES_H
