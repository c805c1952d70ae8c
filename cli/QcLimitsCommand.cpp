// `xrayutils qc limits --detector NAME [--baseline N | --from DATE --to DATE |
// --set QUANTITY=LOW:HIGH...] [--json]`: sets control limits from a baseline or explicitly,
// and prints the detector's current limits.
#include <CLI/CLI.hpp>

#include <cstdlib>

#include "cli/Command.h"
#include "cli/IsoTime.h"
#include "cli/QcCommands.h"
#include "cli/QcControl.h"

namespace xrayutils {

namespace {

// A whole text as a number, or nothing.
std::optional<double> NumberOf(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

// QUANTITY=LOW:HIGH
QcLimit ParseSetting(const std::string& setting) {
    const size_t equals = setting.find('=');
    const size_t colon = setting.find(':', equals == std::string::npos ? 0 : equals);
    const std::optional<double> low =
        equals == std::string::npos || colon == std::string::npos
            ? std::nullopt
            : NumberOf(setting.substr(equals + 1, colon - equals - 1));
    const std::optional<double> high =
        colon == std::string::npos ? std::nullopt : NumberOf(setting.substr(colon + 1));
    if (!low || !high)
        throw UsageError("--set takes QUANTITY=LOW:HIGH, not \"" + setting + "\"");
    return SetLimit(setting.substr(0, equals), *low, *high);
}

// "first 5 entries, A to B" or "from DATE to DATE (5 entries, A to B)".
std::string BasisOf(const std::vector<QcEntry>& baseline, std::optional<size_t> first,
                    const std::string& from, const std::string& to) {
    const std::string span = baseline.front().acquired + " to " + baseline.back().acquired;
    if (first)
        return "first " + std::to_string(*first) + " entries, " + span;
    return "from " + from + " to " + to + " (" + std::to_string(baseline.size()) + " entries, " +
           span + ")";
}

// The quantities a new baseline gave no limits, which keep what they had.
void WriteUncovered(std::ostream& out, const std::vector<QcLimit>& limits) {
    std::string uncovered;
    for (const std::string& quantity : QcTrackedQuantities()) {
        bool covered = false;
        for (const QcLimit& limit : limits)
            covered |= limit.quantity == quantity;
        if (!covered)
            uncovered += (uncovered.empty() ? "" : ", ") + quantity;
    }
    if (!uncovered.empty())
        out << "The baseline has fewer than " << kMinimumQuantityValues << " values of "
            << uncovered << "; their limits are left as they were.\n";
}

class QcLimitsCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("limits");
        command.description("set a detector's control limits, or print them");
        command.footer(
            "From a baseline (the first N entries that are not culled, N at least 5, or those "
            "acquired from one date to another): each tracked quantity's mean -+ 3 s, s being "
            "the larger of the values' standard deviation and the mean of their own 1-sigma "
            "counting errors. --set gives one quantity's limits explicitly, like a vendor "
            "tolerance. For each quantity the latest setting wins. Without these options the "
            "current limits are printed. --json prints [{\"quantity\", \"low\", \"high\", "
            "\"mean\", \"s\", \"source\"}]. Tracked quantities: " +
            QuantityList() + ".");
        command.add_option("--detector", fDetector, "the detector")->type_name("NAME")->required();
        CLI::Option* baseline =
            command.add_option("--baseline", fBaseline, "limits from the first N entries")
                ->type_name("N");
        CLI::Option* from =
            command.add_option("--from", fFrom, "limits from the entries acquired from DATE")
                ->type_name("DATE");
        CLI::Option* to = command.add_option("--to", fTo, "... up to DATE (a day counts whole)")
                              ->type_name("DATE");
        CLI::Option* set =
            command.add_option("--set", fSettings, "one quantity's limits (may be repeated)")
                ->type_name("QUANTITY=LOW:HIGH");
        command.add_flag("--json", fJson, "print the limits as JSON");
        from->needs(to);
        to->needs(from);
        baseline->excludes(from)->excludes(set);
        set->excludes(from);
    }

    int Run(const QcContext& context) override {
        if (fBaseline && *fBaseline < kMinimumBaselineEntries)
            throw UsageError("--baseline needs at least " +
                             std::to_string(kMinimumBaselineEntries) + " entries");
        if (!fFrom.empty() && Bound(fFrom, false) > Bound(fTo, true))
            throw UsageError("--from " + fFrom + " lies after --to " + fTo);
        std::vector<QcLimit> settings;
        for (const std::string& setting : fSettings)
            settings.push_back(ParseSetting(setting));
        const bool changes = fBaseline || !fFrom.empty() || !fSettings.empty();
        QcStore store = context.Open(changes ? QcStore::Access::kWrite : QcStore::Access::kRead);
        std::ostream& out = context.out;
        if (changes) {
            const std::vector<QcLimit> limits = fSettings.empty() ? BaselineOf(store) : settings;
            store.SaveLimits(fDetector, limits);
            if (!fJson && fSettings.empty())
                WriteUncovered(out, limits);
        }
        const std::vector<QcLimit> current = store.Limits(fDetector);
        if (fJson) {
            out << LimitsJson(current).dump(2) << "\n";
        } else {
            out << "Control limits of detector " << fDetector << ":\n";
            WriteLimitsTable(out, current);
        }
        return kSuccess;
    }

  private:
    static std::string QuantityList() {
        std::string list;
        for (const std::string& quantity : QcTrackedQuantities())
            list += (list.empty() ? "" : ", ") + quantity;
        return list;
    }

    std::vector<QcLimit> BaselineOf(QcStore& store) const {
        std::vector<QcEntry> baseline;
        for (QcEntry& entry : store.Entries(fDetector))
            if (!entry.culled && InBaseline(entry, baseline.size()))
                baseline.push_back(std::move(entry));
        if (fBaseline && baseline.size() < *fBaseline)
            throw QcError("detector " + fDetector + " has " + std::to_string(baseline.size()) +
                          " entries that are not culled; a baseline of " +
                          std::to_string(*fBaseline) + " needs " + std::to_string(*fBaseline));
        if (baseline.empty())
            throw QcError("detector " + fDetector + " has no entries that are not culled from " +
                          fFrom + " to " + fTo);
        return BaselineLimits(baseline, BasisOf(baseline, fBaseline, fFrom, fTo));
    }

    // Whether a non-culled entry belongs to the baseline, `taken` entries being in already.
    bool InBaseline(const QcEntry& entry, size_t taken) const {
        if (fBaseline)
            return taken < *fBaseline;
        return entry.acquired >= Bound(fFrom, false) && entry.acquired <= Bound(fTo, true);
    }

    // The acquisition time a --from or --to date stands for; a day alone runs to its end.
    static std::string Bound(const std::string& date, bool end) {
        const std::optional<xray::CalendarTime> time = ParseIsoTime(date);
        if (!time)
            throw UsageError("a date is YYYY-MM-DD or YYYY-MM-DDThh:mm[:ss], not \"" + date + "\"");
        const std::string text = IsoTimeText(*time);
        return end && IsIsoDay(date) ? text.substr(0, 11) + "23:59:60" : text;
    }

    std::string fDetector;
    std::optional<size_t> fBaseline;
    std::string fFrom;
    std::string fTo;
    std::vector<std::string> fSettings;
    bool fJson = false;
};

}  // namespace

std::unique_ptr<QcSubcommand> MakeQcLimitsCommand() {
    return std::make_unique<QcLimitsCommand>();
}

}  // namespace xrayutils
