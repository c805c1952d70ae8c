// QcPictureData: what the control charts and the QC report page draw, made from the QC
// history's plain values (QcHistory.h, QcControl.h); the pictures know nothing of the
// database.
//
// Quantities are named by their dotted record paths ("energy_resolution.fwhm_mn_ka_ev",
// "contamination.ice_nm", ...); DescribeQuantity gives the label and unit the pictures
// print for each tracked one. Times are ISO 8601 "YYYY-MM-DDThh:mm:ss" (the records'
// "acquired"), read as they stand, without a time zone.
#ifndef XRAY_CLI_QCPICTUREDATA_H
#define XRAY_CLI_QCPICTUREDATA_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/QcControl.h"
#include "cli/QcHistory.h"

namespace xrayutils {

// How a tracked quantity is printed: "FWHM at Mn K\u03b1" and "eV".
struct QuantityDescription {
    std::string label;
    std::string unit;  // empty for a ratio
    int decimals = 2;  // as the report prints the quantity
};

// The description of a dotted record path; an unknown path is described by itself, without
// a unit, with 4 decimals.
QuantityDescription DescribeQuantity(const std::string& quantity);

// One entry's value of the charted quantity.
struct ChartPoint {
    std::int64_t entryId = 0;
    std::string acquired;  // ISO 8601
    double value = 0.0;
    double error = 0.0;  // 1 sigma; 0 draws no bar
    bool culled = false;
};

// One control chart: a quantity's values in acquisition order, with its limits if it has
// any. A point outside the limits is drawn in the alarm colour and shape; a culled one
// hollow.
struct ControlSeries {
    std::string quantity;  // dotted record path
    std::vector<ChartPoint> points;
    std::optional<QcLimit> limits;
};

// The chart of `quantity`: the entries that have a value of it, with its limits among
// `limits`.
ControlSeries SeriesOf(const std::string& quantity, const std::vector<QcEntry>& entries,
                       const std::vector<QcLimit>& limits);

// Everything the QC report page shows about one detector.
struct QcReport {
    std::string detector;
    std::vector<QcEntry> entries;       // in acquisition order
    std::optional<QcEntryCheck> check;  // the latest check, at the top of the page
    std::vector<ControlSeries> charts;  // one per tracked quantity, also the table's columns
};

// The report of a detector's entries (in acquisition order) under its limits: the check of
// the latest entry that is not culled, when there are limits, and a chart of every tracked
// quantity that has values.
QcReport MakeQcReport(const std::string& detector, std::vector<QcEntry> entries,
                      const std::vector<QcLimit>& limits);

}  // namespace xrayutils

#endif  // XRAY_CLI_QCPICTUREDATA_H
