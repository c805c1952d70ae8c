// `xrayutils icec FILE1 FILE2`: imports both files with Zor_EMSAtoDM and prints the
// contamination report of Zor_NiOxIceC exactly as returned (spectrum 1 less spectrum 2).
// `xrayutils icec REFERENCE FILE... --json`: the contamination of each file less that of
// the reference, evaluated as the module does, one record per file.
#include <CLI/CLI.hpp>

#include "cli/Command.h"
#include "cli/ImportedSpectrum.h"
#include "cli/NiOxRecord.h"
#include "cli/Session.h"

namespace xrayutils {
namespace {

// {"reference", "file", "ice_nm": {value, errors}, "carbon_nm": {...}}, or with "error" in
// place of the layers when either file could not be read.
Json ContaminationRecord(const ReadSpectrum& reference, const ReadSpectrum& file) {
    Json record{{"reference", reference.file}, {"file", file.file}};
    const std::string& error = !reference.readError.empty() ? reference.readError : file.readError;
    if (!error.empty()) {
        record["error"] = error;
        return record;
    }
    const xray::Contamination c = ContaminationAgainst(file, reference);
    record["ice_nm"] = ValueWithErrors(c.ice, c.iceErrors);
    record["carbon_nm"] = ValueWithErrors(c.carbon, c.carbonErrors);
    return record;
}

class IceCCommand : public Command {
  public:
    void Declare(CLI::App& command) override {
        command.name("icec");
        command.description("ice and carbon contamination difference (Zor_NiOxIceC)");
        command.footer(
            "With two files and no --json: imports FILE1 and FILE2 with Zor_EMSAtoDM, runs "
            "Zor_NiOxIceC and prints the report exactly as returned: the difference in ice and "
            "carbon layer thickness, spectrum 1 less spectrum 2, with 1, 2 and 3 sigma errors, "
            "in nm. With --json: the first file is the reference, and each further file gets "
            "a record of its layers less the reference's (positive: the file's spectrum carries "
            "more ice or carbon than the reference). Exit status 1 when a file could not be "
            "read (every record is still written).");
        command
            .add_option("FILES", fFiles,
                        "EMSA/MAS spectrum files: FILE1 FILE2, or REFERENCE FILE...")
            ->type_name("")
            ->required();
        command.add_flag("--json", fJson, "write one JSON array of records");
    }

    int Run(CommandContext& context) override {
        if (fFiles.size() < 2)
            throw UsageError("icec needs two files, or a reference and files with --json");
        if (fJson)
            return RunBatch(context.out);
        if (fFiles.size() != 2)
            throw UsageError("more than two files need --json");
        return RunReport(context);
    }

  private:
    int RunReport(CommandContext& context) {
        const dmhost::ObjectRef first = ImportSpectrumFile(context.session, fFiles[0]);
        const dmhost::ObjectRef second = ImportSpectrumFile(context.session, fFiles[1]);
        const dmhost::ScriptResult report = context.session.Call(
            "Zor_NiOxIceC",
            {dmhost::ScriptValue::Image(first.get()), dmhost::ScriptValue::Image(second.get())});
        context.out << report.text << std::flush;
        return kSuccess;
    }

    int RunBatch(std::ostream& out) {
        const ReadSpectrum reference = ReadSpectrumAsImported(fFiles[0]);
        Json records = Json::array();
        bool failed = !reference.readError.empty();
        for (std::size_t k = 1; k < fFiles.size(); ++k) {
            const ReadSpectrum file = ReadSpectrumAsImported(fFiles[k]);
            failed = failed || !file.readError.empty();
            records.push_back(ContaminationRecord(reference, file));
        }
        out << records.dump(2) << "\n" << std::flush;
        return failed ? kFailure : kSuccess;
    }

    std::vector<std::string> fFiles;
    bool fJson = false;
};

}  // namespace

std::unique_ptr<Command> MakeIceCCommand() {
    return std::make_unique<IceCCommand>();
}

}  // namespace xrayutils
