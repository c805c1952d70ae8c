// QcControl: control limits of the tracked quantities and the check of an entry against
// them, computed on plain values (QcHistory.h); the store keeps the limits.
//
// Limits from a baseline: for each quantity that at least kMinimumQuantityValues of the
// baseline's entries give a value, mean -+ 3 s, where s is the larger of the values'
// standard deviation and the mean of their own 1-sigma counting errors, so a short, lucky
// baseline cannot make limits tighter than counting statistics allow. Quantities with
// fewer values get no limits from it (and keep any they had). Limits set explicitly have
// their midpoint as mean and a sixth of their width as s, so a distance from the mean in s
// reads the same for both.
//
// A check compares each tracked quantity of an entry with its limits: within, outside, or
// unchecked when it has no limits or no value by design (not evaluated; the reference's own
// contamination). A value missing because its evaluation failed, or not finite, is outside:
// a QC spectrum whose evaluation fails is a finding. Functions throw QcError with a message
// for the user.
#ifndef XRAY_CLI_QCCONTROL_H
#define XRAY_CLI_QCCONTROL_H

#include <optional>
#include <string>
#include <vector>

#include "cli/QcHistory.h"

namespace xrayutils {

constexpr size_t kMinimumBaselineEntries = 5;
constexpr size_t kMinimumQuantityValues = 2;

// Limits from the non-culled entries among `baseline`, described as `basis`. Throws
// QcError when they are fewer than kMinimumBaselineEntries.
std::vector<QcLimit> BaselineLimits(const std::vector<QcEntry>& baseline, const std::string& basis);

// One quantity's limits given as LOW:HIGH. Throws QcError for an unknown quantity or
// limits that are not finite with LOW below HIGH.
QcLimit SetLimit(const std::string& quantity, double low, double high);

// Whether `value` lies within the limits, both inclusive.
bool WithinLimit(double value, const QcLimit& limit);

enum class QcStatus { kWithin, kOutside, kUnchecked };

struct QcQuantityCheck {
    std::string quantity;
    std::optional<double> value;
    std::optional<QcLimit> limit;
    QcStatus status = QcStatus::kUnchecked;
    std::optional<double> sigmasFromMean;  // (value - mean) / s, when both exist and s > 0
    std::string reason;                    // why unchecked, or why outside without a value
};

struct QcEntryCheck {
    int64_t entry = 0;
    std::string acquired;
    bool withinLimits = true;                 // no quantity outside
    std::vector<QcQuantityCheck> quantities;  // in QcTrackedQuantities() order
};

QcEntryCheck CheckEntry(const QcEntry& entry, const std::vector<QcLimit>& limits);

// {"entry", "acquired", "within_limits", "quantities": [{"quantity", "value", "low",
// "high", "within", "sigmas_from_mean"}]}; an unchecked quantity has null limits and null
// "within"; one outside without a value has its reason under "error".
Json CheckJson(const QcEntryCheck& check);

// [{"quantity", "low", "high", "mean", "s", "source"}].
Json LimitsJson(const std::vector<QcLimit>& limits);

}  // namespace xrayutils

#endif  // XRAY_CLI_QCCONTROL_H
