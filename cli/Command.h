// Command: one sub-command of the xrayutils program.
//
// Declare names the sub-command and declares its options and arguments on the CLI11
// sub-command given, binding them to the command's own members; the program parses the
// whole command line first, so a command line that is not understood never reaches Run.
// Run checks what the declaration cannot state (combinations of options), throwing
// UsageError, then does the work and returns the exit status. Script-function commands
// reach the module through the session, which loads it on first use; tool commands call
// the core and never load it. Errors a script function raises arrive as ScriptError (see
// Session.h); any other std::exception is a failure of the command's own.
#ifndef XRAY_CLI_COMMAND_H
#define XRAY_CLI_COMMAND_H

#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace CLI {
class App;
}

namespace xrayutils {

class Session;

// Exit statuses of the program.
constexpr int kSuccess = 0;
constexpr int kFailure = 1;        // a file, an evaluation or the module failed
constexpr int kUsage = 2;          // the command line was not understood
constexpr int kOutsideLimits = 3;  // a checked quantity lies outside its control limits

// The command line could not be understood; the message says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What a command is given: the session (which loads and starts the module when first asked)
// and the program's standard output.
struct CommandContext {
    Session& session;
    std::ostream& out;
};

class Command {
  public:
    virtual ~Command() = default;
    virtual void Declare(CLI::App& command) = 0;
    virtual int Run(CommandContext& context) = 0;
};

// Every sub-command, in the order the help lists them.
std::vector<std::unique_ptr<Command>> MakeCommands();

// The sub-commands, each made in its own file.
std::unique_ptr<Command> MakeVersionCommand();
std::unique_ptr<Command> MakeOpenCommand();
std::unique_ptr<Command> MakeImportCommand();
std::unique_ptr<Command> MakeFilterCommand();
std::unique_ptr<Command> MakeNiOxCommand();
std::unique_ptr<Command> MakeIceCCommand();
std::unique_ptr<Command> MakeSimulateNiOxCommand();
// Built only where the build has SQLite (XRAY_WITH_QC).
std::unique_ptr<Command> MakeQcCommand();
// Built where PLplot is (XRAY_WITH_PICTURES): not in the cross-built programs.
std::unique_ptr<Command> MakePlotCommand();
std::unique_ptr<Command> MakeReportCommand();

}  // namespace xrayutils

#endif  // XRAY_CLI_COMMAND_H
