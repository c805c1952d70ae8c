// SpectrumFilterCommand: the work behind the script function Zor_SpectrumFilter.
//
// ApplySpectrumFilter filters a one-dimensional spectrum image with filter type 1 to 4
// (filter/FilterTypes.h) and makes a new image of the result:
// - named "<input name> (<filter name>)", 4-byte reals, one value per input channel,
//   computed in double precision from an 8-byte-real clone of the input;
// - with the input's dimension-0 calibration (origin, scale, unit; calibrated origin) and
//   the intensity unit "<input intensity unit>/<axis unit>" ("**2" added for types 2-4);
// - carrying all of the input's tags plus, at the end of its "Processing" list, a record
//   of "Operation" (the filter name), "Parameters" (types 3 and 4: the lobe width in eV,
//   which is the resolution) and "Time" (local time, "%m/%d/%Y, %I:%M:%S %p").
// The input image is only read: its data, type and tags stay as they were.
//
// Types 3 and 4 need the tag "EDS:Detector info:Energy resolution" (eV, positive) on the
// input; types 1 and 2 do not read it.
//
// Ownership: the input handle is the caller's, lent for the call. On success `result`
// holds the new image with one reference, and whatever it held before is released. On any
// failure `result` is left as it was and nothing else outlives the call.
//
// Failures never leave the function: each one (type not 1 to 4, which is detected before
// any host call; a missing resolution; a spectrum the kernel refuses; a host error; an
// exhausted heap) is set as the host's pending exception, and the function returns.
#ifndef XRAY_PLUGIN_SPECTRUMFILTERCOMMAND_H
#define XRAY_PLUGIN_SPECTRUMFILTERCOMMAND_H

// Declared with the other script functions' work, where the wrapper finds it:
// void ApplySpectrumFilter(Gatan::PlugIn::Image spectrumImage, uint32_t filterType,
//                          Gatan::PlugIn::Image& result);
#include "plugin/ScriptWork.h"

#endif  // XRAY_PLUGIN_SPECTRUMFILTERCOMMAND_H
