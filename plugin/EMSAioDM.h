// EMSAioDM: an EMSA/MAS spectrum file imported as a calibrated, tagged host image.
//
// ImportEMSASpectrum reads the file named by `path` and returns a new one-dimensional image
// of 4-byte reals, one element per channel, named after the file's base name. Dimension 0
// is calibrated with the energy of channel 0 as origin and the channel width as scale
// (keV for EDS spectra), both narrowed to 4-byte reals, with calibrated-origin argument 0.
// The root tag group receives "Microscope Info" and "EDS" (with "Acquisition" and
// "Detector info") holding the spectrum's metadata.
//
// Ownership: the call owns `path` and gives it back before returning; the image returned
// carries one reference for the caller. Every other host reference, the data lock and the
// file are released on every path, also when an exception passes.
//
// Failures: a file that cannot be opened writes "FAIL : Unable to open <path>!" to the
// Results window and goes on with an empty spectrum, so the host is asked for an image of
// 0 elements (a host that refuses it throws). Reading errors (SpectrumFileError) and host
// errors (dmplugin_exception) pass through unchanged; no partly built image survives.
// Runs on the thread of the script call. Declared with the other script work in
// plugin/ScriptWork.h:
//   Gatan::PlugIn::Image ImportEMSASpectrum(Gatan::PlugIn::String path);
#ifndef XRAY_PLUGIN_EMSAIODM_H
#define XRAY_PLUGIN_EMSAIODM_H

#include "plugin/HostHandles.h"
#include "plugin/ScriptWork.h"

#endif  // XRAY_PLUGIN_EMSAIODM_H
