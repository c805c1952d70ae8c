#include "cli/QcControl.h"

#include <algorithm>
#include <cmath>

namespace xrayutils {

namespace {

struct Sample {
    std::vector<double> values;
    std::vector<double> errors;
};

Sample SampleOf(const std::vector<const QcEntry*>& entries, size_t quantity) {
    Sample sample;
    for (const QcEntry* entry : entries) {
        const QcValue& v = entry->values.at(quantity);
        if (!v.value)
            continue;
        sample.values.push_back(*v.value);
        if (v.error)
            sample.errors.push_back(*v.error);
    }
    return sample;
}

double MeanOf(const std::vector<double>& values) {
    double sum = 0.0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

// The sample standard deviation (n - 1). REQUIRES: at least two values.
double StandardDeviation(const std::vector<double>& values, double mean) {
    double sum = 0.0;
    for (double v : values)
        sum += (v - mean) * (v - mean);
    return std::sqrt(sum / static_cast<double>(values.size() - 1));
}

const QcLimit* FindLimit(const std::vector<QcLimit>& limits, const std::string& quantity) {
    for (const QcLimit& limit : limits)
        if (limit.quantity == quantity)
            return &limit;
    return nullptr;
}

bool IsContamination(const std::string& quantity) {
    return quantity.rfind("contamination.", 0) == 0;
}

QcQuantityCheck CheckQuantity(const QcEntry& entry, size_t index,
                              const std::vector<QcLimit>& limits) {
    QcQuantityCheck c;
    c.quantity = QcTrackedQuantities()[index];
    const QcValue& v = entry.values.at(index);
    c.value = v.value;
    const QcLimit* limit = FindLimit(limits, c.quantity);
    if (limit == nullptr) {
        c.reason = "no limits";
        return c;
    }
    c.limit = *limit;
    if (v.value) {
        const double value = *v.value;
        c.status = WithinLimit(value, *limit) ? QcStatus::kWithin : QcStatus::kOutside;
        if (limit->s > 0.0)
            c.sigmasFromMean = (value - limit->mean) / limit->s;
    } else if (!v.failure.empty()) {
        c.status = QcStatus::kOutside;
        c.reason = v.failure;
    } else {
        c.reason = entry.reference && IsContamination(c.quantity) ? "the reference entry"
                                                                  : "not evaluated";
    }
    return c;
}

}  // namespace

std::vector<QcLimit> BaselineLimits(const std::vector<QcEntry>& baseline,
                                    const std::string& basis) {
    std::vector<const QcEntry*> used;
    for (const QcEntry& entry : baseline)
        if (!entry.culled)
            used.push_back(&entry);
    if (used.size() < kMinimumBaselineEntries)
        throw QcError("a baseline needs at least " + std::to_string(kMinimumBaselineEntries) +
                      " entries that are not culled; " + basis + " has " +
                      std::to_string(used.size()));
    std::vector<QcLimit> limits;
    for (size_t q = 0; q < QcTrackedQuantities().size(); ++q) {
        const Sample sample = SampleOf(used, q);
        if (sample.values.size() < kMinimumQuantityValues)
            continue;
        QcLimit limit;
        limit.quantity = QcTrackedQuantities()[q];
        limit.mean = MeanOf(sample.values);
        limit.s = std::max(StandardDeviation(sample.values, limit.mean), MeanOf(sample.errors));
        limit.low = limit.mean - 3.0 * limit.s;
        limit.high = limit.mean + 3.0 * limit.s;
        limit.source = "baseline";
        limit.count = static_cast<int64_t>(sample.values.size());
        limit.basis = basis;
        limits.push_back(limit);
    }
    return limits;
}

bool WithinLimit(double value, const QcLimit& limit) {
    return value >= limit.low && value <= limit.high;
}

QcLimit SetLimit(const std::string& quantity, double low, double high) {
    QcQuantityIndex(quantity);
    if (!std::isfinite(low) || !std::isfinite(high) || !(low < high))
        throw QcError("the limits of " + quantity + " must be two numbers, LOW below HIGH");
    QcLimit limit;
    limit.quantity = quantity;
    limit.low = low;
    limit.high = high;
    limit.mean = low + (high - low) / 2.0;
    limit.s = (high - low) / 6.0;
    limit.source = "set";
    limit.basis = "set explicitly";
    return limit;
}

QcEntryCheck CheckEntry(const QcEntry& entry, const std::vector<QcLimit>& limits) {
    QcEntryCheck check;
    check.entry = entry.id;
    check.acquired = entry.acquired;
    for (size_t q = 0; q < QcTrackedQuantities().size(); ++q) {
        check.quantities.push_back(CheckQuantity(entry, q, limits));
        if (check.quantities.back().status == QcStatus::kOutside)
            check.withinLimits = false;
    }
    return check;
}

Json CheckJson(const QcEntryCheck& check) {
    Json quantities = Json::array();
    for (const QcQuantityCheck& c : check.quantities) {
        Json q{{"quantity", c.quantity},
               {"value", c.value ? NumberOrNull(*c.value) : Json()},
               {"low", c.limit ? NumberOrNull(c.limit->low) : Json()},
               {"high", c.limit ? NumberOrNull(c.limit->high) : Json()},
               {"within",
                c.status == QcStatus::kUnchecked ? Json() : Json(c.status == QcStatus::kWithin)},
               {"sigmas_from_mean", c.sigmasFromMean ? NumberOrNull(*c.sigmasFromMean) : Json()}};
        if (c.status == QcStatus::kOutside && !c.value)
            q["error"] = c.reason;
        quantities.push_back(std::move(q));
    }
    return Json{{"entry", check.entry},
                {"acquired", check.acquired},
                {"within_limits", check.withinLimits},
                {"quantities", std::move(quantities)}};
}

Json LimitsJson(const std::vector<QcLimit>& limits) {
    Json all = Json::array();
    for (const QcLimit& limit : limits)
        all.push_back(Json{{"quantity", limit.quantity},
                           {"low", NumberOrNull(limit.low)},
                           {"high", NumberOrNull(limit.high)},
                           {"mean", NumberOrNull(limit.mean)},
                           {"s", NumberOrNull(limit.s)},
                           {"source", limit.source}});
    return all;
}

}  // namespace xrayutils
