// EvaluateNiOxIceC: the work behind the script function Zor_NiOxIceC. Compares two NiOx
// spectra and reports the difference in ice and carbon contamination-layer thickness
// between them, with 1, 2 and 3 sigma errors in nm.
//
// Each spectrum is windowed with its own calibration. The channel count is the first
// spectrum's; the second supplies at most that many channels and never more than it
// holds, so a shorter second spectrum is never read past its end and a longer one is cut.
//
// Ownership: both spectra are borrowed and never changed (the work runs on 8-byte real
// copies, released before returning); the returned String owns one reference. Failures
// never leave the call: any exception is set as the host's pending exception and the
// result is a null String.
#ifndef XRAY_PLUGIN_NIOXICECDRIVER_H
#define XRAY_PLUGIN_NIOXICECDRIVER_H

#include "plugin/HostHandles.h"
#include "plugin/ScriptWork.h"

// Declared with the other script work in plugin/ScriptWork.h:
//   Gatan::PlugIn::String EvaluateNiOxIceC(Gatan::PlugIn::Image spectrum1,
//                                          Gatan::PlugIn::Image spectrum2);

#endif  // XRAY_PLUGIN_NIOXICECDRIVER_H
