// ScriptWork: the work behind four of the module's script functions (EMSAioDM, NiOxDriver,
// NiOxIceCDriver, SpectrumFilterCommand), which adapt host images to the core and back. The
// wrappers of ScriptFunctions.h call them with the module's own handles and hand their
// results back to the host.
//
// Ownership: handle arguments are the wrapper's own references, lent for the call (taken
// by value, so the work may keep or drop its copy). Returned handles and the handle stored
// in an output argument own one reference, which the wrapper hands on to the host. An
// output argument arrives empty; leaving it empty means "no image".
//
// Failures: ImportEMSASpectrum throws (the wrapper reports it to the host); the other three
// report their failures to the host themselves and return normally (EvaluateNiOx and
// EvaluateNiOxIceC with an empty String).
#ifndef XRAY_PLUGIN_SCRIPTWORK_H
#define XRAY_PLUGIN_SCRIPTWORK_H

#include <cstdint>

#include "plugin/HostHandles.h"

// Zor_EMSAtoDM: the spectrum file at `path` as a new, calibrated and tagged image.
Gatan::PlugIn::Image ImportEMSASpectrum(Gatan::PlugIn::String path);

// Zor_NiOx: the report of the selected evaluations; the "Gaussian Fit" image in fitImage
// when the energy resolution is selected.
Gatan::PlugIn::String EvaluateNiOx(Gatan::PlugIn::Image spectrumImage, bool energyResolution,
                                   bool inverseHoleCount, bool fioriPB, bool totalPB, bool moKL,
                                   bool solidAngle, bool detectorEfficiency, double filmThickness,
                                   Gatan::PlugIn::Image& fitImage);

// Zor_NiOxIceC: the report of the contamination difference between two spectra.
Gatan::PlugIn::String EvaluateNiOxIceC(Gatan::PlugIn::Image spectrum1,
                                       Gatan::PlugIn::Image spectrum2);

// Zor_SpectrumFilter: the filtered copy of the spectrum in result.
void ApplySpectrumFilter(Gatan::PlugIn::Image spectrumImage, uint32_t filterType,
                         Gatan::PlugIn::Image& result);

#endif  // XRAY_PLUGIN_SCRIPTWORK_H
