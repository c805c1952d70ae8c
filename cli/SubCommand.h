// SubCommand: one sub-command of the xrayutils program, and the table of all of them.
//
// A sub-command parses its own arguments first and throws UsageError for anything it cannot
// accept, before it asks for the module; then it runs script functions through the session
// and writes what a script would see to `out`. It returns the exit status (0 on success).
// Errors a script function raises reach the caller as ScriptError (see Session.h); any other
// std::exception is an error of the program's own.
#ifndef XRAY_CLI_SUBCOMMAND_H
#define XRAY_CLI_SUBCOMMAND_H

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace xrayutils {

class Session;

// The command line could not be understood; the message says why.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What a sub-command is given: the session (which loads and starts the module when first
// asked) and the program's standard output.
struct CommandContext {
    Session& session;
    std::ostream& out;
};

struct SubCommand {
    const char* name;
    const char* arguments;    // as the usage line shows them, e.g. "TEXT"
    const char* summary;      // one line for the list of sub-commands
    const char* description;  // for `help NAME`: what it does, its options, what it prints
    int (*run)(const std::vector<std::string>& arguments, CommandContext& context);
};

// Every sub-command, in the order the usage lists them.
const std::vector<const SubCommand*>& SubCommands();
// The sub-command called `name`, or null.
const SubCommand* FindSubCommand(const std::string& name);

// The sub-commands, each defined in its own file (VersionCommand.cpp, ...).
extern const SubCommand kVersionCommand;
extern const SubCommand kOpenCommand;
extern const SubCommand kImportCommand;
extern const SubCommand kFilterCommand;
extern const SubCommand kNiOxCommand;
extern const SubCommand kIceCCommand;
extern const SubCommand kSimulateNiOxCommand;

}  // namespace xrayutils

#endif  // XRAY_CLI_SUBCOMMAND_H
