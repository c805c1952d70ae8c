#include "cli/QcPictureData.h"

#include <algorithm>

namespace xrayutils {

namespace {

struct KnownQuantity {
    const char* quantity;
    const char* label;
    const char* unit;
    int decimals;
};

// The tracked quantities, with the decimals the NiOx report prints them with.
constexpr KnownQuantity kKnownQuantities[] = {
    {"energy_resolution.fwhm_mn_ka_ev", "FWHM at Mn K\xCE\xB1", "eV", 1},
    {"energy_resolution.fwhm_ni_ka_ev", "FWHM at Ni K\xCE\xB1", "eV", 1},
    {"inverse_hole_count.value", "Inverse hole count", "", 2},
    {"fiori_pb.value", "Fiori P/B", "", 2},
    {"total_pb.value", "Total P/B", "", 2},
    {"mo_kl_ratio.value", "Mo K/L ratio", "", 2},
    {"solid_angle_sr.value", "Collection solid angle", "sr", 4},
    {"detector_efficiency.value", "Detector efficiency", "cps/nA/sr", 4},
    {"normalized_detector_efficiency.value", "Normalized detector efficiency", "cps/nA/sr", 4},
    {"contamination.ice_nm", "Ice layer, less the reference's", "nm", 1},
    {"contamination.carbon_nm", "Carbon layer, less the reference's", "nm", 1},
};

}  // namespace

QuantityDescription DescribeQuantity(const std::string& quantity) {
    for (const KnownQuantity& known : kKnownQuantities)
        if (quantity == known.quantity)
            return QuantityDescription{known.label, known.unit, known.decimals};
    return QuantityDescription{quantity, "", 4};
}

ControlSeries SeriesOf(const std::string& quantity, const std::vector<QcEntry>& entries,
                       const std::vector<QcLimit>& limits) {
    ControlSeries series;
    series.quantity = quantity;
    for (const QcEntry& entry : entries) {
        const QcValue& v = entry.Value(quantity);
        if (v.value)
            series.points.push_back(ChartPoint{entry.id, entry.acquired, *v.value,
                                               v.error.value_or(0.0), entry.culled});
    }
    for (const QcLimit& limit : limits)
        if (limit.quantity == quantity)
            series.limits = limit;
    return series;
}

QcReport MakeQcReport(const std::string& detector, std::vector<QcEntry> entries,
                      const std::vector<QcLimit>& limits) {
    QcReport report;
    report.detector = detector;
    report.entries = std::move(entries);
    const auto latest = std::find_if(report.entries.rbegin(), report.entries.rend(),
                                     [](const QcEntry& e) { return !e.culled; });
    if (!limits.empty() && latest != report.entries.rend())
        report.check = CheckEntry(*latest, limits);
    for (const std::string& quantity : QcTrackedQuantities()) {
        ControlSeries series = SeriesOf(quantity, report.entries, limits);
        if (!series.points.empty())
            report.charts.push_back(std::move(series));
    }
    return report;
}

}  // namespace xrayutils
