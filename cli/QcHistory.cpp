#include "cli/QcHistory.h"

#include <algorithm>
#include <cmath>

namespace xrayutils {

namespace {

constexpr const char* kContaminationPrefix = "contamination.";

// A number of the record: the block's key, with the block's 1-sigma error when the key is
// "value". A block that is missing failed (its message is in "errors") or was not selected.
QcValue RecordValue(const Json& record, const std::string& quantity) {
    const size_t dot = quantity.find('.');
    const std::string block = quantity.substr(0, dot);
    const std::string key = quantity.substr(dot + 1);
    QcValue v;
    if (!record.contains(block)) {
        if (record.contains("errors") && record["errors"].contains(block))
            v.failure = record["errors"][block].get<std::string>();
        else if (record.contains("error"))
            v.failure = record["error"].get<std::string>();
        return v;
    }
    const Json& number = record[block].value(key, Json());
    if (!number.is_number()) {
        v.failure = "not a finite number";
        return v;
    }
    v.value = number.get<double>();
    if (key == "value" && record[block].value("error_1sigma", Json()).is_number())
        v.error = record[block]["error_1sigma"].get<double>();
    return v;
}

QcValue ContaminationValue(double value, double error1Sigma) {
    QcValue v;
    if (!std::isfinite(value)) {
        v.failure = "not a finite number";
        return v;
    }
    v.value = value;
    if (std::isfinite(error1Sigma))
        v.error = error1Sigma;
    return v;
}

}  // namespace

const std::vector<std::string>& QcTrackedQuantities() {
    static const std::vector<std::string> quantities = {
        "energy_resolution.fwhm_mn_ka_ev",
        "energy_resolution.fwhm_ni_ka_ev",
        "inverse_hole_count.value",
        "fiori_pb.value",
        "total_pb.value",
        "mo_kl_ratio.value",
        "solid_angle_sr.value",
        "detector_efficiency.value",
        "normalized_detector_efficiency.value",
        "contamination.ice_nm",
        "contamination.carbon_nm",
    };
    return quantities;
}

size_t QcQuantityIndex(const std::string& quantity) {
    const std::vector<std::string>& all = QcTrackedQuantities();
    const auto found = std::find(all.begin(), all.end(), quantity);
    if (found != all.end())
        return static_cast<size_t>(found - all.begin());
    std::string list;
    for (const std::string& name : all)
        list += (list.empty() ? "" : ", ") + name;
    throw QcError("unknown quantity \"" + quantity + "\"; the tracked quantities are " + list);
}

const QcValue& QcEntry::Value(const std::string& quantity) const {
    return values.at(QcQuantityIndex(quantity));
}

std::vector<QcValue> TrackedValues(const Json& record,
                                   const std::optional<xray::Contamination>& contamination) {
    std::vector<QcValue> values;
    for (const std::string& quantity : QcTrackedQuantities()) {
        if (quantity.rfind(kContaminationPrefix, 0) != 0)
            values.push_back(RecordValue(record, quantity));
        else if (!contamination)
            values.emplace_back();
        else if (quantity == "contamination.ice_nm")
            values.push_back(ContaminationValue(contamination->ice, contamination->iceErrors[0]));
        else
            values.push_back(
                ContaminationValue(contamination->carbon, contamination->carbonErrors[0]));
    }
    return values;
}

Json EntryJson(const QcEntry& entry) {
    Json j{{"id", entry.id},
           {"detector", entry.detector},
           {"acquired", entry.acquired},
           {"culled", entry.culled},
           {"note", entry.note},
           {"recorded", entry.recorded},
           {"program_version", entry.programVersion}};
    for (const auto& [key, value] : entry.record.items())
        j[key] = value;
    if (entry.contamination)
        j["contamination"] = Json{
            {"ice_nm", ValueWithErrors(entry.contamination->ice, entry.contamination->iceErrors)},
            {"carbon_nm",
             ValueWithErrors(entry.contamination->carbon, entry.contamination->carbonErrors)}};
    else
        j["contamination"] = Json();
    return j;
}

}  // namespace xrayutils
