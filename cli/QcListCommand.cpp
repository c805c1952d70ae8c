// `xrayutils qc list --detector NAME [--json | --csv]`: a detector's entries in acquisition
// order, as a table, as niox records with the history's keys, or as CSV.
#include <CLI/CLI.hpp>

#include <iomanip>

#include "cli/Command.h"
#include "cli/QcCommands.h"
#include "niox/ReportFormat.h"

namespace xrayutils {

namespace {

const char* const kErrorKeys[] = {"value", "error_1sigma", "error_2sigma", "error_3sigma"};

std::vector<std::string> CsvColumns() {
    std::vector<std::string> columns = {"id", "detector", "acquired", "culled", "note"};
    const std::vector<std::string>& record = NiOxCsvColumns();
    columns.insert(columns.end(), record.begin(), record.end());
    for (const char* layer : {"contamination.ice_nm.", "contamination.carbon_nm."})
        for (const char* key : kErrorKeys)
            columns.push_back(layer + std::string(key));
    return columns;
}

std::string CsvNumber(const Json& number) {
    return number.is_number() ? number.dump() : std::string();
}

std::vector<std::string> CsvCells(const QcEntry& entry) {
    std::vector<std::string> cells = {std::to_string(entry.id), entry.detector, entry.acquired,
                                      entry.culled ? "true" : "false", entry.note};
    const std::vector<std::string> record = NiOxCsvCells(entry.record);
    cells.insert(cells.end(), record.begin(), record.end());
    const Json contamination = EntryJson(entry)["contamination"];
    for (const char* layer : {"ice_nm", "carbon_nm"})
        for (const char* key : kErrorKeys)
            cells.push_back(contamination.is_null() ? "" : CsvNumber(contamination[layer][key]));
    return cells;
}

// One decimal, as the reports print widths and thicknesses; "-" for none.
std::string Decimal(const QcValue& v) {
    return v.value ? xray::Fixed(*v.value, 1) : "-";
}

void WriteTable(std::ostream& out, const std::vector<QcEntry>& entries) {
    out << std::left << std::setw(6) << "id" << std::setw(21) << "acquired" << std::setw(15)
        << "FWHM MnKa/eV" << std::setw(9) << "ice/nm" << std::setw(11) << "carbon/nm"
        << "file\n";
    for (const QcEntry& e : entries) {
        const bool reference = e.reference;
        out << std::setw(6) << e.id << std::setw(21) << e.acquired << std::setw(15)
            << Decimal(e.Value("energy_resolution.fwhm_mn_ka_ev")) << std::setw(9)
            << (reference ? "ref" : Decimal(e.Value("contamination.ice_nm"))) << std::setw(11)
            << (reference ? "ref" : Decimal(e.Value("contamination.carbon_nm"))) << e.file
            << (e.culled ? "  (culled)" : "") << "\n";
    }
}

class QcListCommand : public QcSubcommand {
  public:
    void Declare(CLI::App& command) override {
        command.name("list");
        command.description("list a detector's entries in acquisition order");
        command.footer(
            "With --json: an array of the niox records of `niox --json` with \"id\", "
            "\"detector\", \"acquired\", \"culled\", \"note\", \"recorded\", "
            "\"program_version\" and \"contamination\": the entry's ice and carbon layers less "
            "those of the detector's reference entry, null for the reference itself. With "
            "--csv: the same as columns.");
        command.add_option("--detector", fDetector, "the detector")->type_name("NAME")->required();
        CLI::Option* json = command.add_flag("--json", fJson, "write the entries as JSON");
        CLI::Option* csv = command.add_flag("--csv", fCsv, "write the entries as CSV");
        json->excludes(csv);
    }

    int Run(const QcContext& context) override {
        QcStore store = context.Open(QcStore::Access::kRead);
        const std::vector<QcEntry> entries = store.Entries(fDetector);
        std::ostream& out = context.out;
        if (fJson) {
            Json all = Json::array();
            for (const QcEntry& entry : entries)
                all.push_back(EntryJson(entry));
            out << all.dump(2) << "\n";
        } else if (fCsv) {
            WriteCsvRow(out, CsvColumns());
            for (const QcEntry& entry : entries)
                WriteCsvRow(out, CsvCells(entry));
        } else {
            WriteTable(out, entries);
        }
        return kSuccess;
    }

  private:
    std::string fDetector;
    bool fJson = false;
    bool fCsv = false;
};

}  // namespace

std::unique_ptr<QcSubcommand> MakeQcListCommand() {
    return std::make_unique<QcListCommand>();
}

}  // namespace xrayutils
