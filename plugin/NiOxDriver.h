// EvaluateNiOx: the work behind the script function Zor_NiOx. Evaluates one EDS spectrum
// of the NiOx thin test specimen and returns the report: a header about the spectrum and
// the block of each selected evaluation, always in the order energy resolution, inverse
// hole count, peak-to-background (Fiori, total), Mo K/L ratio, solid angle and detector
// efficiency.
//
// Ownership: the spectrum is borrowed and never changed (the work runs on an 8-byte real
// copy, released before returning). The returned String owns one reference. When the
// energy resolution is selected, `fitImage` receives a new 4-byte real image "Gaussian
// Fit" (the fitted Gaussian over the fit window, 0 elsewhere), dropping whatever it held;
// otherwise it is left untouched.
//
// Failures never leave the call: any exception is set as the host's pending exception
// and the result is a null String; a fit image stored before the failure stays stored.
// A tag the solid angle or efficiency needs that the spectrum lacks is such a failure,
// and its message names the tag path. With no flag set the result is a null String and
// nothing else happens.
#ifndef XRAY_PLUGIN_NIOXDRIVER_H
#define XRAY_PLUGIN_NIOXDRIVER_H

#include <cstdint>
#include <string>

#include "niox/NiOxEvaluation.h"
#include "plugin/HostHandles.h"
#include "plugin/ScriptWork.h"

// EvaluateNiOx itself is declared with the other script work in plugin/ScriptWork.h:
//   Gatan::PlugIn::String EvaluateNiOx(Gatan::PlugIn::Image spectrumImage,
//       bool energyResolution, bool inverseHoleCount, bool fioriPB, bool totalPB, bool moKL,
//       bool solidAngle, bool detectorEfficiency, double filmThickness,
//       Gatan::PlugIn::Image& fitImage);

// The header: file name, offset (3 significant digits in a field of 5), step (3
// significant digits), each with its unit, and the channel count.
std::string WriteNiOxHeader(const std::string& name, float offset, float step,
                            const std::string& units, uint32_t count);

// The selection value of a pair of blocks: 1 the first only, 2 the second only, 3 both,
// 0 neither.
int PairSelection(bool first, bool second);

#endif  // XRAY_PLUGIN_NIOXDRIVER_H
