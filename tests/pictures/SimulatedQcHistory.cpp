#include "tests/pictures/SimulatedQcHistory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "niox/Contamination.h"
#include "niox/NiOxEvaluation.h"
#include "niox/NiOxWindows.h"
#include "sim/NiOxSimulation.h"

namespace testsupport {

using namespace xray;
using namespace xrayutils;

namespace {

constexpr int kWeeks = 16;
constexpr int kBaseline = 6;
constexpr int kCulledWeek = 3;

struct Week {
    std::string acquired;
    std::vector<double> counts;
    NiOxResults results;
};

std::string AcquiredOnWeek(int week) {
    // Mondays from 2026-01-05, at 09:00 plus a few minutes.
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0, day = 5 + 7 * week;
    while (day > kDaysInMonth[month]) {
        day -= kDaysInMonth[month];
        ++month;
    }
    char text[32];
    std::snprintf(text, sizeof text, "2026-%02d-%02dT09:%02d:00", month + 1, day,
                  5 + 3 * week % 50);
    return text;
}

Week SimulateWeek(int week) {
    NiOxSimulationParameters p;
    p.liveTime = 300;
    p.realTime = 330;
    p.resolutionMnKa = 129.0 + (week >= 12 ? 2.2 * (week - 11) : 0.0);
    p.iceThickness = 1.5 * week;
    p.carbonThickness = 0.4 * week;
    p.probeCurrent = week == kCulledWeek ? 0.6 : 1.0;  // the culled week's current was off
    p.generatorState = 1000 + week;
    const SimulatedNiOxSpectrum s = SimulateNiOxSpectrum(p);
    Week w;
    w.acquired = AcquiredOnWeek(week);
    w.counts = s.counts;
    SolidAngleInput acquisition{50.0, p.beamVoltage, p.xTilt, p.yTilt, 1.0, p.liveTime};
    w.results = EvaluateNiOxSpectrum(
        NiOxSpectrum{w.counts.data(), static_cast<int32_t>(w.counts.size()), 0.0, 0.01},
        NiOxSelection::All(), acquisition);
    return w;
}

struct Value {
    double value = 0.0;
    double error = 0.0;
};

using Extract = std::function<std::optional<Value>(const Week&, const Week& reference)>;

struct Tracked {
    const char* quantity;
    Extract extract;
};

template <typename Result>
std::optional<Value> Take(const Evaluation<Result>& e, double Result::*value,
                          SigmaErrors Result::*errors) {
    if (!e.result)
        return std::nullopt;
    return Value{(*e.result).*value, errors != nullptr ? ((*e.result).*errors)[0] : 0.0};
}

Contamination ContaminationOf(const Week& w, const Week& reference) {
    const auto table = [](const Week& x) {
        return MakeEnergyCountTable(x.counts.data(), static_cast<int32_t>(x.counts.size()), 0.0,
                                    0.01);
    };
    return EvaluateContaminationOfSpectra(table(w), table(reference));
}

std::vector<Tracked> TrackedQuantities() {
    using ER = EnergyResolution;
    return {
        {"energy_resolution.fwhm_mn_ka_ev",
         [](const Week& w, const Week&) {
             return Take<ER>(w.results.energyResolution, &ER::fwhmMnKa, nullptr);
         }},
        {"energy_resolution.fwhm_ni_ka_ev",
         [](const Week& w, const Week&) {
             return Take<ER>(w.results.energyResolution, &ER::fwhmNiKa, nullptr);
         }},
        {"inverse_hole_count.value",
         [](const Week& w, const Week&) {
             return Take(w.results.inverseHoleCount, &InverseHoleCount::ratio,
                         &InverseHoleCount::errors);
         }},
        {"fiori_pb.value",
         [](const Week& w, const Week&) {
             return Take(w.results.fioriPB, &PeakToBackground::fiori,
                         &PeakToBackground::fioriErrors);
         }},
        {"total_pb.value",
         [](const Week& w, const Week&) {
             return Take(w.results.totalPB, &PeakToBackground::total,
                         &PeakToBackground::totalErrors);
         }},
        {"mo_kl_ratio.value",
         [](const Week& w, const Week&) {
             return Take(w.results.moKL, &MoKLRatio::ratio, &MoKLRatio::errors);
         }},
        {"solid_angle_sr.value",
         [](const Week& w, const Week&) {
             return Take(w.results.solidAngle, &SolidAngle::solidAngle,
                         &SolidAngle::solidAngleErrors);
         }},
        {"detector_efficiency.value",
         [](const Week& w, const Week&) {
             return Take(w.results.detectorEfficiency, &SolidAngle::efficiency,
                         &SolidAngle::efficiencyErrors);
         }},
        {"normalized_detector_efficiency.value",
         [](const Week& w, const Week&) {
             return Take(w.results.detectorEfficiency, &SolidAngle::normalisedEfficiency,
                         &SolidAngle::normalisedEfficiencyErrors);
         }},
        {"contamination.ice_nm",
         [](const Week& w, const Week& reference) {
             const Contamination c = ContaminationOf(w, reference);
             return std::optional<Value>(Value{c.ice, c.iceErrors[0]});
         }},
        {"contamination.carbon_nm",
         [](const Week& w, const Week& reference) {
             const Contamination c = ContaminationOf(w, reference);
             return std::optional<Value>(Value{c.carbon, c.carbonErrors[0]});
         }},
    };
}

}  // namespace

QcReport SimulatedQcReport(const std::string& detector) {
    std::vector<Week> weeks;
    for (int week = 0; week < kWeeks; ++week)
        weeks.push_back(SimulateWeek(week));
    const std::vector<Tracked> tracked = TrackedQuantities();
    std::vector<QcEntry> entries;
    for (int week = 0; week < kWeeks; ++week) {
        QcEntry entry;
        entry.id = week + 1;
        entry.detector = detector;
        entry.acquired = weeks[week].acquired;
        char file[32];
        std::snprintf(file, sizeof file, "week%02d.msa", week + 1);
        entry.file = file;
        entry.culled = week == kCulledWeek;
        entry.reference = week == 0;
        entry.note = week == kCulledWeek ? "probe current 0.6 nA, not 1 nA" : "";
        for (const std::string& quantity : QcTrackedQuantities()) {
            const auto t = std::find_if(tracked.begin(), tracked.end(),
                                        [&](const Tracked& x) { return quantity == x.quantity; });
            QcValue value;
            // The reference has no contamination of its own: it is what the others are
            // measured against.
            const std::optional<Value> v =
                entry.reference && quantity.rfind("contamination.", 0) == 0
                    ? std::nullopt
                    : t->extract(weeks[week], weeks.front());
            if (v) {
                value.value = v->value;
                value.error = v->error;
            }
            entry.values.push_back(value);
        }
        entries.push_back(entry);
    }
    const std::vector<QcEntry> baseline(entries.begin(), entries.begin() + kBaseline + 1);
    return MakeQcReport(detector, entries, BaselineLimits(baseline, "entries 1 to 7"));
}

}  // namespace testsupport
