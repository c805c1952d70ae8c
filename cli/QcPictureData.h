// QcPictureData: what the control charts and the QC report page draw, as plain data. The QC
// commands fill these from the QC history; the pictures know nothing of where they came
// from.
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

// A quantity's control limits: low and high, and the baseline mean when they came from a
// baseline (limits set by hand may have none).
struct ControlLimits {
    double low = 0.0;
    double high = 0.0;
    std::optional<double> mean;
};

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
    std::optional<ControlLimits> limits;
};

// Whether a value lies within limits (both inclusive).
bool WithinLimits(double value, const ControlLimits& limits);

// One quantity of a check: its value against its limits.
struct QuantityCheck {
    std::string quantity;  // dotted record path
    double value = 0.0;
    std::optional<ControlLimits> limits;  // none: shown as unchecked
    bool within = true;
    std::optional<double> sigmasFromMean;  // (value - mean) / s, signed
};

// The result of checking one entry.
struct CheckSummary {
    std::int64_t entryId = 0;
    std::string acquired;
    std::vector<QuantityCheck> quantities;

    // Whether every checked quantity lies within its limits.
    bool WithinLimits() const;
};

// One entry of the QC history, for the report's table.
struct QcEntry {
    std::int64_t id = 0;
    std::string acquired;
    std::string file;
    std::string note;
    bool culled = false;
};

// Everything the QC report page shows about one detector.
struct QcReport {
    std::string detector;
    std::vector<QcEntry> entries;       // in acquisition order
    std::optional<CheckSummary> check;  // the latest check, at the top of the page
    std::vector<ControlSeries> charts;  // one per tracked quantity, also the table's columns
};

}  // namespace xrayutils

#endif  // XRAY_CLI_QCPICTUREDATA_H
