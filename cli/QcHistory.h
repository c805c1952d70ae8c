// QcHistory: what the detector-QC history holds, as plain values: the tracked quantities,
// a detector's entries with each quantity's value and counting error, its control limits.
// The store (QcStore.h) reads and writes them; limits and checks (QcControl.h), the
// commands and reports compute on them without a database.
//
// An entry's tracked values come from its niox record (NiOxRecord.h) and from its
// contamination against the detector's reference entry. QcError is the failure a user
// can mend (an unknown detector, entry or quantity, a file that is not a QC database): its
// message names what was wrong, and the program exits with status 1.
#ifndef XRAY_CLI_QCHISTORY_H
#define XRAY_CLI_QCHISTORY_H

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/NiOxRecord.h"
#include "niox/Contamination.h"

namespace xrayutils {

class QcError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The tracked quantities by their dotted record paths, in the order of limits and checks:
// energy_resolution.fwhm_mn_ka_ev, energy_resolution.fwhm_ni_ka_ev, inverse_hole_count.value,
// fiori_pb.value, total_pb.value, mo_kl_ratio.value, solid_angle_sr.value,
// detector_efficiency.value, normalized_detector_efficiency.value, contamination.ice_nm,
// contamination.carbon_nm.
const std::vector<std::string>& QcTrackedQuantities();

// The quantity's index in QcTrackedQuantities(); throws QcError naming it and listing the
// tracked quantities when it is not one of them.
size_t QcQuantityIndex(const std::string& quantity);

// One tracked quantity of one entry.
struct QcValue {
    std::optional<double> value;  // absent when not evaluated, failed or not finite
    std::optional<double> error;  // 1-sigma counting error, when the evaluation gives one
    std::string failure;          // why a value that should be there is not: the evaluation's
                                  // message, or that it is not a finite number
};

struct QcEntry {
    int64_t id = 0;
    std::string detector;
    std::string acquired;  // "YYYY-MM-DDThh:mm:ss", the instrument's local time
    std::string file;      // the path given to `qc add`
    std::string note;
    bool culled = false;              // left out of limits and checks
    bool reference = false;           // the entry the detector's contamination is measured against
    std::optional<double> thickness;  // nm, given for the solid angle and efficiencies
    std::string recorded;             // "YYYY-MM-DDThh:mm:ssZ", when it was recorded (UTC)
    std::string programVersion;       // of the xrayutils that recorded it
    Json record;                      // its niox record, as `niox --json` writes it
    // Its ice and carbon layers less the reference's; absent for the reference itself.
    std::optional<xray::Contamination> contamination;
    std::vector<QcValue> values;  // one per tracked quantity, in QcTrackedQuantities() order

    const QcValue& Value(const std::string& quantity) const;
};

// The tracked values of a niox record and its contamination against the reference.
std::vector<QcValue> TrackedValues(const Json& record,
                                   const std::optional<xray::Contamination>& contamination);

// The entry as `qc list --json` writes it: its niox record with "id", "detector",
// "acquired", "culled", "note", "recorded" and "program_version" before the record's keys
// and "contamination" after them: {"ice_nm": {"value", "error_1sigma", "error_2sigma",
// "error_3sigma"}, "carbon_nm": {...}}, or null for the reference entry.
Json EntryJson(const QcEntry& entry);

struct QcDetector {
    std::string name;
    int64_t entries = 0;
    std::string first;      // acquisition time of the earliest entry
    std::string last;       // and of the latest
    int64_t reference = 0;  // id of the reference entry; 0 without entries
};

// One quantity's control limits.
struct QcLimit {
    std::string quantity;
    double low = 0.0;
    double high = 0.0;
    double mean = 0.0;
    double s = 0.0;      // the spread: limits from a baseline are mean -+ 3 s
    std::string source;  // "baseline" or "set"
    int64_t count = 0;   // values the baseline gave it; 0 for limits set explicitly
    std::string basis;   // what the limits came from, in words
};

}  // namespace xrayutils

#endif  // XRAY_CLI_QCHISTORY_H
