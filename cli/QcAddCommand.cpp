// `xrayutils qc add --detector NAME [--thickness NM] [--acquired ISO-DATE] [--note TEXT]
// FILE...`: evaluates each spectrum file as the module does and records it in the
// detector's history, one transaction per entry, printing one line per file.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>

#include "cli/Command.h"
#include "cli/IsoTime.h"
#include "cli/Parallel.h"
#include "cli/QcCommands.h"

namespace xrayutils {

namespace {

// Files evaluated together on every core before they are recorded, so that a long batch
// records as it goes.
constexpr size_t kBatch = 16;

// The evaluations that failed, by their record keys.
std::string FailedEvaluations(const SpectrumEvaluation& e) {
    const Json record = NiOxRecord(e);
    std::string failed;
    for (const auto& [key, message] : record["errors"].items())
        failed += (failed.empty() ? "" : ", ") + key + " (" + message.get<std::string>() + ")";
    return failed;
}

class QcAddCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("add");
        command.description("evaluate NiOx spectra and record them in a detector's history");
        command.footer(
            "Evaluates each FILE exactly as the module does (all seven evaluations; the solid "
            "angle and the efficiencies with --thickness) and records it: acquisition time, "
            "channels and calibration, acquisition values, every result with its errors and "
            "every evaluation's error. The acquisition time comes from the file's DATE and "
            "TIME; a file without them needs --acquired. A spectrum the detector already has "
            "(same acquisition time and channels) is not added again. Exit status 0 when every "
            "file was recorded or already there, 1 when any was not (the others are "
            "recorded).");
        command.add_option("--detector", fDetector, "the detector the spectra were taken with")
            ->type_name("NAME")
            ->required();
        command
            .add_option("--thickness", fThickness,
                        "NiOx film thickness in nm, for the solid angle and the efficiencies")
            ->type_name("NM");
        command
            .add_option("--acquired", fAcquired,
                        "acquisition time in place of the file's DATE and TIME (one FILE): "
                        "YYYY-MM-DD[Thh:mm[:ss]]")
            ->type_name("ISO-DATE");
        command.add_option("--note", fNote, "a note kept with each entry")->type_name("TEXT");
        command.add_option("FILE", fFiles, "EMSA/MAS spectrum files")->type_name("")->required();
    }

    int Run(const QcContext& context) override {
        const std::optional<std::string> acquired = AcquiredOption();
        if (fDetector.empty())
            throw UsageError("--detector needs a name");
        QcStore store = context.Open(QcStore::Access::kWrite);
        xray::NiOxSelection selection = xray::NiOxSelection::All();
        selection.solidAngle = selection.detectorEfficiency = fThickness.has_value();
        bool failed = false;
        for (size_t first = 0; first < fFiles.size(); first += kBatch) {
            const size_t count = std::min(kBatch, fFiles.size() - first);
            std::vector<SpectrumEvaluation> evaluations(count);
            ForEachInParallel(count, [&](size_t k) {
                evaluations[k] = EvaluateSpectrumFile(fFiles[first + k], selection, fThickness);
            });
            for (const SpectrumEvaluation& e : evaluations) {
                failed |= !Record(store, e, acquired, context.out);
                context.out.flush();
            }
        }
        return failed ? kFailure : kSuccess;
    }

  private:
    std::optional<std::string> AcquiredOption() const {
        if (fAcquired.empty())
            return std::nullopt;
        const std::optional<xray::CalendarTime> time = ParseIsoTime(fAcquired);
        if (!time)
            throw UsageError(
                "--acquired takes a time as YYYY-MM-DD, YYYY-MM-DDThh:mm or "
                "YYYY-MM-DDThh:mm:ss, not \"" +
                fAcquired + "\"");
        if (fFiles.size() != 1)
            throw UsageError("--acquired goes with one FILE");
        return IsoTimeText(*time);
    }

    // Records one evaluated file and prints its line; returns whether it is in the history.
    bool Record(QcStore& store, const SpectrumEvaluation& e,
                const std::optional<std::string>& acquiredOption, std::ostream& out) const {
        const std::string& file = e.spectrum.file;
        if (!e.spectrum.readError.empty()) {
            out << file << ": not recorded: " << e.spectrum.readError << "\n";
            return false;
        }
        const Json fileTime = AcquiredOf(e.spectrum.record);
        if (!acquiredOption && !fileTime.is_string()) {
            out << file
                << ": not recorded: the file has no acquisition time (DATE and TIME); "
                   "give it with --acquired\n";
            return false;
        }
        QcNewEntry entry{fDetector, acquiredOption ? *acquiredOption : fileTime.get<std::string>(),
                         fNote, &e};
        QcAddOutcome outcome;
        try {
            outcome = store.Add(entry);
        } catch (const SqliteError& error) {
            out << file << ": not recorded: " << error.what() << "\n";
            return false;
        }
        if (!outcome.added) {
            out << file << ": already recorded as entry " << outcome.id << " of detector "
                << fDetector << "\n";
            return true;
        }
        out << file << ": entry " << outcome.id << " of detector " << fDetector << ", acquired "
            << entry.acquired;
        if (e.results.AnyFailed())
            out << "; failed: " << FailedEvaluations(e);
        out << "\n";
        return true;
    }

    std::string fDetector;
    std::optional<double> fThickness;
    std::string fAcquired;
    std::string fNote;
    std::vector<std::string> fFiles;
};

}  // namespace

std::unique_ptr<QcSubcommand> MakeQcAddCommand() {
    return std::make_unique<QcAddCommand>();
}

}  // namespace xrayutils
