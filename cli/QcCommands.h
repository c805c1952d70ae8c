// QcCommands: the sub-commands of `xrayutils qc [--db PATH] COMMAND`, which keep the
// detector-QC history (QcStore.h).
//
// Each declares itself on its own CLI11 sub-command of `qc` and runs with the context `qc`
// gives it: the database path and the output. A command opens the store as it needs it,
// for reading or writing; the store refuses a file that is not a QC history before
// anything is written. Errors the user can mend are QcError (exit status 1); a command line
// that is not understood is UsageError (2); `check` returns kOutsideLimits (3) when a
// quantity lies outside its limits.
#ifndef XRAY_CLI_QCCOMMANDS_H
#define XRAY_CLI_QCCOMMANDS_H

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/QcHistory.h"
#include "cli/QcStore.h"

namespace CLI {
class App;
}

namespace xrayutils {

struct QcContext {
    std::string databasePath;
    bool defaultPath = false;  // the folder of the default path is made when first written
    std::ostream& out;

    QcStore Open(QcStore::Access access) const;
};

class QcSubcommand {
  public:
    virtual ~QcSubcommand() = default;
    virtual void Declare(CLI::App& command) = 0;
    virtual int Run(const QcContext& context) = 0;
};

std::unique_ptr<QcSubcommand> MakeQcAddCommand();
std::unique_ptr<QcSubcommand> MakeQcListCommand();
std::unique_ptr<QcSubcommand> MakeQcDetectorsCommand();
std::unique_ptr<QcSubcommand> MakeQcReferenceCommand();
std::unique_ptr<QcSubcommand> MakeQcCullCommand();
std::unique_ptr<QcSubcommand> MakeQcLimitsCommand();
std::unique_ptr<QcSubcommand> MakeQcCheckCommand();
// Built where PLplot is (XRAY_WITH_PICTURES).
std::unique_ptr<QcSubcommand> MakeQcChartCommand();
std::unique_ptr<QcSubcommand> MakeQcReportCommand();

// A number for a table: six significant digits, "-" for none.
std::string TableNumber(std::optional<double> value);

// The limits as a table, one quantity a line, "none" for quantities without limits.
void WriteLimitsTable(std::ostream& out, const std::vector<QcLimit>& limits);

}  // namespace xrayutils

#endif  // XRAY_CLI_QCCOMMANDS_H
