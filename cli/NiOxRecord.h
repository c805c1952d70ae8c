// NiOxRecord: the machine-readable record of one evaluated spectrum, as `niox --json` and
// `--csv` write it and the QC history keeps it.
//
// Keys are fixed; scripts rely on them:
//   {"file", "name",
//    "spectrum": {"channels", "offset_kev", "step_kev", "beam_kv", "live_time_s",
//                 "real_time_s", "probe_current_na", "x_tilt_deg", "y_tilt_deg", "acquired"},
//    "energy_resolution": {"peak_height_counts", "peak_position_kev", "sigma_ev",
//                          "fwhm_ni_ka_ev", "fwtm_ni_ka_ev", "fwhm_mn_ka_ev"},
//    "inverse_hole_count": {value, errors, "ni_k_net_counts", "mo_k_net_counts"},
//    "fiori_pb", "total_pb": {value, errors},
//    "mo_kl_ratio": {value, errors, "mo_k_net_counts", "mo_l_net_counts"},
//    "solid_angle_sr": {value, errors, "thickness_nm"},
//    "detector_efficiency", "normalized_detector_efficiency": {value, errors},
//    "errors": {"<evaluation key>": "<message>", ...}}
// where value and errors are "value", "error_1sigma", "error_2sigma", "error_3sigma".
// Numbers are unrounded; a number that is not finite, and a header value the file does not
// carry, is null. An evaluation not selected is absent; one that failed is absent and its
// message is in "errors". A file that could not be read gives {"file", "name", "error"}.
#ifndef XRAY_CLI_NIOXRECORD_H
#define XRAY_CLI_NIOXRECORD_H

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "cli/SpectrumEvaluation.h"
#include "niox/PerturbationError.h"

namespace xrayutils {

using Json = nlohmann::ordered_json;

// A number, or null when it is not finite.
Json NumberOrNull(double value);

// {"value", "error_1sigma", "error_2sigma", "error_3sigma"}.
Json ValueWithErrors(double value, const xray::SigmaErrors& errors);

// ISO 8601 "YYYY-MM-DDThh:mm:ss" from the file's DATE and TIME, or null when either is
// missing or not a calendar time.
Json AcquiredOf(const xray::EMSASpectrum& record);

Json NiOxRecord(const SpectrumEvaluation& evaluation);

// The CSV columns: file, name, error, every number of the record by its dotted path
// (spectrum.beam_kv, energy_resolution.fwhm_mn_ka_ev, ...), then errors.
const std::vector<std::string>& NiOxCsvColumns();

// The header row, and one row of a record; absent, null and non-finite cells are empty,
// numbers are written as in the JSON, and "errors" joins "key: message" with "; ".
void WriteCsvRow(std::ostream& out, const std::vector<std::string>& cells);
std::vector<std::string> NiOxCsvCells(const Json& record);

}  // namespace xrayutils

#endif  // XRAY_CLI_NIOXRECORD_H
