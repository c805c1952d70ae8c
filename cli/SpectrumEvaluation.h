// SpectrumEvaluation: an EMSA/MAS file evaluated through the core exactly as the module
// evaluates it after Zor_EMSAtoDM, for the commands that want numbers rather than reports.
//
// The module keeps an imported spectrum as 4-byte reals with a 4-byte real calibration and
// evaluates those; the channels and the calibration are narrowed the same way here, so
// every result is the module's, unrounded. The acquisition values the solid angle reads
// come from the file as the import writes them to the tags.
//
// Nothing here throws except std::bad_alloc: a file that cannot be read gives a record with
// its message in `readError`, an evaluation that fails its message in the results.
#ifndef XRAY_CLI_SPECTRUMEVALUATION_H
#define XRAY_CLI_SPECTRUMEVALUATION_H

#include <optional>
#include <string>
#include <vector>

#include "emsa/EMSASpectrum.h"
#include "niox/Contamination.h"
#include "niox/NiOxEvaluation.h"

namespace xrayutils {

// A spectrum file as read, and the spectrum the module's evaluations see.
struct ReadSpectrum {
    std::string file;       // the path as given
    std::string name;       // base name: folders and the last extension removed
    std::string readError;  // why the file could not be read; empty when it was
    xray::EMSASpectrum record;
    std::vector<double> counts;  // channels, each narrowed to a 4-byte real
    float offset = 0.0f;         // keV, the energy of channel 0
    float step = 0.0f;           // keV per channel

    xray::NiOxSpectrum AsNiOxSpectrum() const;
};

struct SpectrumEvaluation {
    ReadSpectrum spectrum;
    xray::NiOxSelection selection;
    std::optional<double> thickness;  // nm, given for the solid angle and efficiencies
    xray::NiOxResults results;
};

// The base name the module gives an imported image: folders (/ and \) and the last
// extension removed.
std::string BaseName(const std::string& path);

ReadSpectrum ReadSpectrumAsImported(const std::string& path);

// The acquisition values of the solid angle: the film thickness given, the rest from the file.
xray::SolidAngleInput AcquisitionOf(const xray::EMSASpectrum& record, double thickness);

// Reads and evaluates `path`; a file that cannot be read is evaluated no further.
SpectrumEvaluation EvaluateSpectrumFile(const std::string& path,
                                        const xray::NiOxSelection& selection,
                                        std::optional<double> thickness);

// The contamination of `file` less that of `reference`, as Zor_NiOxIceC computes spectrum 1
// less spectrum 2 with the file as spectrum 1. REQUIRES: both were read.
xray::Contamination ContaminationAgainst(const ReadSpectrum& file, const ReadSpectrum& reference);

}  // namespace xrayutils

#endif  // XRAY_CLI_SPECTRUMEVALUATION_H
