// WorkingSpectrum: the 8-byte real working copy of a spectrum image on which the NiOx
// drivers compute, with what they read from it: name, channel count of dimension 0 and
// the dimension-0 calibration (format argument 0: the origin is the energy of channel 0).
//
// The copy is a new host image held by the struct and released with it; the caller's
// image is never changed. Host failures throw dmplugin_exception; a missing image, a copy
// the host does not make, or data that cannot be read as `count` 8-byte reals throw
// std::runtime_error with a message saying which.
#ifndef XRAY_PLUGIN_WORKINGSPECTRUM_H
#define XRAY_PLUGIN_WORKINGSPECTRUM_H

#include <cstdint>
#include <string>

#include "niox/NiOxWindows.h"
#include "plugin/HostHandles.h"

struct WorkingSpectrum {
    Gatan::PlugIn::Image copy;
    std::string name;
    uint32_t count = 0;
    float offset = 0.0f;  // energy of channel 0, keV
    float step = 0.0f;    // keV per channel
    std::string units;    // shown in reports, never interpreted
};

// Clones `spectrum`, converts the clone to 8-byte reals when it holds another type, and
// reads its name, count and calibration.
WorkingSpectrum MakeWorkingSpectrum(const Gatan::PlugIn::Image& spectrum);

// The table of the first `rows` channels: energy offset + step * i (both widened to
// double), counts from the locked data of the copy. REQUIRES: rows <= spectrum.count.
xray::EnergyCountTable ReadEnergyCountTable(const WorkingSpectrum& spectrum, uint32_t rows);

#endif  // XRAY_PLUGIN_WORKINGSPECTRUM_H
