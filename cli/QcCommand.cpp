// `xrayutils qc [--db PATH] COMMAND`: the detector-QC history, and its small sub-commands
// `detectors`, `reference` and `cull`.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iomanip>

#include "cli/Command.h"
#include "cli/QcCommands.h"

namespace xrayutils {

namespace {

class QcCommand : public Command {
  public:
    QcCommand() {
        for (auto make :
             {MakeQcAddCommand, MakeQcListCommand, MakeQcDetectorsCommand, MakeQcReferenceCommand,
              MakeQcCullCommand, MakeQcLimitsCommand, MakeQcCheckCommand})
            fCommands.push_back(make());
#ifdef XRAY_WITH_PICTURES
        fCommands.push_back(MakeQcChartCommand());
        fCommands.push_back(MakeQcReportCommand());
#endif
    }

    void Declare(CLI::App& command) override {
        command.name("qc");
        command.description("keep a detector's NiOx QC history: entries, control limits, alarms");
        command.footer(
            "Records evaluated NiOx test spectra per detector in an SQLite database, sets "
            "control limits for the tracked quantities and checks new entries against them. "
            "The database is PATH, or $XDG_DATA_HOME/xrayutils/qc.sqlite (else "
            "~/.local/share/xrayutils/qc.sqlite), made on first use. Exit status 0 on "
            "success, 1 on errors, 3 from check when a quantity lies outside its limits.");
        command.add_option("--db", fDatabasePath, "the QC database (an SQLite file)")
            ->type_name("PATH");
        command.fallthrough();
        command.require_subcommand(1);
        for (const std::unique_ptr<QcSubcommand>& sub : fCommands)
            sub->Declare(*command.add_subcommand());
        fApp = &command;
    }

    int Run(CommandContext& context) override {
        QcContext qc{fDatabasePath, fDatabasePath.empty(), context.out};
        if (qc.defaultPath)
            qc.databasePath =
                DefaultQcDatabasePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        const std::vector<CLI::App*> subcommands = fApp->get_subcommands({});
        for (size_t k = 0; k < fCommands.size(); ++k)
            if (subcommands[k]->parsed())
                return fCommands[k]->Run(qc);
        throw UsageError("no qc command given");
    }

  private:
    std::vector<std::unique_ptr<QcSubcommand>> fCommands;
    std::string fDatabasePath;
    CLI::App* fApp = nullptr;
};

class QcDetectorsCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("detectors");
        command.description("list the detectors with their entry counts and date ranges");
    }

    int Run(const QcContext& context) override {
        QcStore store = context.Open(QcStore::Access::kRead);
        const std::vector<QcDetector> detectors = store.Detectors();
        if (detectors.empty()) {
            context.out << "No detectors in " << store.Path() << " yet.\n";
            return kSuccess;
        }
        std::ostream& out = context.out;
        out << std::left << std::setw(20) << "detector" << std::setw(9) << "entries"
            << std::setw(21) << "first" << std::setw(21) << "last"
            << "reference\n";
        for (const QcDetector& d : detectors)
            out << std::setw(20) << d.name << std::setw(9) << d.entries << std::setw(21) << d.first
                << std::setw(21) << d.last << d.reference << "\n";
        return kSuccess;
    }
};

class QcReferenceCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("reference");
        command.description(
            "choose the entry that the detector's contamination is measured against");
        command.footer(
            "Contamination (the ice and carbon layers) of every entry is its layers less those "
            "of the reference entry: the earliest entry unless this command chose another.");
        command.add_option("--detector", fDetector, "the detector")->type_name("NAME")->required();
        command.add_option("ID", fEntry, "the entry")->type_name("")->required();
    }

    int Run(const QcContext& context) override {
        QcStore store = context.Open(QcStore::Access::kWrite);
        store.SetReference(fDetector, fEntry);
        context.out << "Entry " << fEntry << " is the reference of detector " << fDetector
                    << ": contamination is measured against it.\n";
        return kSuccess;
    }

  private:
    std::string fDetector;
    int64_t fEntry = 0;
};

class QcCullCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("cull");
        command.description("leave an entry out of limits and checks, or take it back");
        command.footer(
            "A culled entry stays in the history and is listed as culled. Limits already set "
            "from a baseline keep their values: set them again to leave the entry out.");
        command.add_option("ID", fEntry, "the entry")->type_name("")->required();
        command.add_flag("--undo", fUndo, "take the entry back into limits and checks");
    }

    int Run(const QcContext& context) override {
        QcStore store = context.Open(QcStore::Access::kWrite);
        store.SetCulled(fEntry, !fUndo);
        context.out << "Entry " << fEntry
                    << (fUndo ? " is taken back into limits and checks.\n"
                              : " is culled: left out of limits and checks.\n");
        return kSuccess;
    }

  private:
    int64_t fEntry = 0;
    bool fUndo = false;
};

}  // namespace

QcStore QcContext::Open(QcStore::Access access) const {
    if (defaultPath && access == QcStore::Access::kWrite) {
        std::error_code ignored;  // a folder that cannot be made shows when the file cannot
        std::filesystem::create_directories(std::filesystem::path(databasePath).parent_path(),
                                            ignored);
    }
    return QcStore(databasePath, access);
}

std::string TableNumber(std::optional<double> value) {
    if (!value)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", *value);
    return text;
}

void WriteLimitsTable(std::ostream& out, const std::vector<QcLimit>& limits) {
    out << std::left << std::setw(38) << "quantity" << std::setw(13) << "low" << std::setw(13)
        << "high" << std::setw(13) << "mean" << std::setw(13) << "s"
        << "source\n";
    std::vector<std::string> bases;  // of the baselines, each once
    for (const std::string& quantity : QcTrackedQuantities()) {
        const QcLimit* limit = nullptr;
        for (const QcLimit& l : limits)
            if (l.quantity == quantity)
                limit = &l;
        out << std::setw(38) << quantity;
        if (limit == nullptr) {
            out << "none\n";
            continue;
        }
        out << std::setw(13) << TableNumber(limit->low) << std::setw(13) << TableNumber(limit->high)
            << std::setw(13) << TableNumber(limit->mean) << std::setw(13) << TableNumber(limit->s)
            << limit->source << "\n";
        if (limit->source == "baseline" &&
            std::find(bases.begin(), bases.end(), limit->basis) == bases.end())
            bases.push_back(limit->basis);
    }
    for (const std::string& basis : bases) {
        out << "Baseline: " << basis;
        if (bases.size() > 1) {
            std::string quantities;
            for (const QcLimit& l : limits)
                if (l.source == "baseline" && l.basis == basis)
                    quantities += (quantities.empty() ? "" : ", ") + l.quantity;
            out << " (" << quantities << ")";
        }
        out << "\n";
    }
}

std::unique_ptr<Command> MakeQcCommand() {
    return std::make_unique<QcCommand>();
}

std::unique_ptr<QcSubcommand> MakeQcDetectorsCommand() {
    return std::make_unique<QcDetectorsCommand>();
}

std::unique_ptr<QcSubcommand> MakeQcReferenceCommand() {
    return std::make_unique<QcReferenceCommand>();
}

std::unique_ptr<QcSubcommand> MakeQcCullCommand() {
    return std::make_unique<QcCullCommand>();
}

}  // namespace xrayutils
