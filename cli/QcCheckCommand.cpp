// `xrayutils qc check --detector NAME [--all] [--json]`: the latest entry that is not culled
// (or every such entry) against the detector's control limits; exit status 3 when any
// quantity lies outside them, so a scheduled job can raise an alarm.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iomanip>

#include "cli/Command.h"
#include "cli/QcCommands.h"
#include "cli/QcControl.h"

namespace xrayutils {

namespace {

std::string Sigmas(const QcQuantityCheck& c) {
    if (!c.sigmasFromMean)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f s", *c.sigmasFromMean);
    return text;
}

std::string Verdict(const QcQuantityCheck& c) {
    switch (c.status) {
        case QcStatus::kWithin:
            return "within";
        case QcStatus::kOutside:
            return c.value ? "OUTSIDE" : "OUTSIDE: " + c.reason;
        case QcStatus::kUnchecked:
            break;
    }
    return "unchecked: " + c.reason;
}

void WriteCheck(std::ostream& out, const std::string& detector, const QcEntryCheck& check) {
    out << "Entry " << check.entry << " of detector " << detector << ", acquired " << check.acquired
        << ": " << (check.withinLimits ? "within the control limits" : "OUTSIDE the control limits")
        << "\n";
    out << std::left << std::setw(38) << "quantity" << std::setw(13) << "value" << std::setw(13)
        << "low" << std::setw(13) << "high"
        << "from mean\n";
    for (const QcQuantityCheck& c : check.quantities) {
        const std::optional<double> low =
            c.limit ? std::optional<double>(c.limit->low) : std::nullopt;
        const std::optional<double> high =
            c.limit ? std::optional<double>(c.limit->high) : std::nullopt;
        out << std::setw(38) << c.quantity << std::setw(13) << TableNumber(c.value) << std::setw(13)
            << TableNumber(low) << std::setw(13) << TableNumber(high) << std::setw(11) << Sigmas(c)
            << Verdict(c) << "\n";
    }
}

class QcCheckCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("check");
        command.description("check the latest entry against the control limits");
        command.footer(
            "Checks the latest entry that is not culled (or with --all every such entry) "
            "against the detector's control limits: each tracked quantity's value, limits, "
            "whether it lies within them and how many s it lies from the mean. Quantities "
            "without limits are unchecked. A quantity whose evaluation failed counts as "
            "outside. --json prints {\"entry\", \"acquired\", \"within_limits\", \"quantities\": "
            "[{\"quantity\", \"value\", \"low\", \"high\", \"within\", \"sigmas_from_mean\"}]} "
            "(an array of them with --all). Exit status 0 when every checked quantity is "
            "within its limits, 3 when any is outside, 1 on errors.");
        command.add_option("--detector", fDetector, "the detector")->type_name("NAME")->required();
        command.add_flag("--all", fAll, "check every entry that is not culled");
        command.add_flag("--json", fJson, "print the check as JSON");
    }

    int Run(const QcContext& context) override {
        QcStore store = context.Open(QcStore::Access::kRead);
        const std::vector<QcEntry> entries = store.Entries(fDetector);
        const std::vector<QcLimit> limits = store.Limits(fDetector);
        if (limits.empty())
            throw QcError("detector " + fDetector +
                          " has no control limits; set them from a baseline with \"xrayutils "
                          "qc limits --detector " +
                          fDetector +
                          " --baseline N\" (or --from DATE --to DATE), or one quantity's with "
                          "\"--set QUANTITY=LOW:HIGH\"");
        std::vector<QcEntryCheck> checks;
        for (const QcEntry& entry : entries)
            if (!entry.culled)
                checks.push_back(CheckEntry(entry, limits));
        if (checks.empty())
            throw QcError("detector " + fDetector + " has no entries that are not culled");
        if (!fAll)
            checks.erase(checks.begin(), checks.end() - 1);
        bool within = true;
        for (const QcEntryCheck& check : checks)
            within &= check.withinLimits;
        Write(context.out, checks);
        return within ? kSuccess : kOutsideLimits;
    }

  private:
    void Write(std::ostream& out, const std::vector<QcEntryCheck>& checks) const {
        if (fJson) {
            Json all = Json::array();
            for (const QcEntryCheck& check : checks)
                all.push_back(CheckJson(check));
            out << (fAll ? all : all[0]).dump(2) << "\n";
            return;
        }
        for (size_t k = 0; k < checks.size(); ++k) {
            if (k > 0)
                out << "\n";
            WriteCheck(out, fDetector, checks[k]);
        }
    }

    std::string fDetector;
    bool fAll = false;
    bool fJson = false;
};

}  // namespace

std::unique_ptr<QcSubcommand> MakeQcCheckCommand() {
    return std::make_unique<QcCheckCommand>();
}

}  // namespace xrayutils
