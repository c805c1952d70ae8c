// xrayutils: the ZorXrayUtils module's script functions on files, with the stand-in host in
// place of the host application, and the detector-QC tools built on the same core.
//
//   xrayutils [--module PATH] COMMAND [ARGUMENTS]
//
// Exit status: 0 on success; 1 when a file, an evaluation or the module failed, or a script
// function raised an error (its message on standard error); 2 when the command line is not
// understood (the message and the usage on standard error); 3 from `qc check` when a
// quantity lies outside its control limits. Whatever the module writes to the host's
// Results window goes to standard error.
#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/ModuleLocation.h"
#include "cli/Session.h"
#include "port/ProcessMemory.h"

namespace xrayutils {
namespace {

// The program's command line: its own options, the sub-commands and `help [COMMAND]`.
class CommandLine {
  public:
    explicit CommandLine(const char* argv0)
        : fApp(
              "Runs the ZorXrayUtils module's script functions in a stand-in host, and "
              "evaluates, records and reports NiOx detector tests.",
              "xrayutils"),
          fModulePath(DefaultModulePath(argv0)),
          fCommands(MakeCommands()) {
        // Paths begin with '/' on every system: never an option, also on Windows.
        fApp.allow_windows_style_options(false);
        fApp.get_formatter()->label("SUBCOMMAND", "COMMAND");
        fApp.get_formatter()->column_width(28);
        fApp.set_help_flag("-h,--help", "print this help and exit");
        fApp.set_version_flag("--version", XRAY_PROGRAM_VERSION, "print the version and exit");
        fApp.add_option("--module", fModulePath,
                        "the module to load (default: " + std::string(XRAY_MODULE_FILE_NAME) +
                            " next to this program)")
            ->type_name("PATH");
        fApp.require_subcommand(0, 1);
        for (const std::unique_ptr<Command>& command : fCommands)
            command->Declare(*fApp.add_subcommand()->group("Commands"));
        fHelp = fApp.add_subcommand("help", "print the help of the program or of one command")
                    ->group("Commands");
        fHelp->add_option("COMMAND", fHelpTopic, "the command to describe")->type_name("");
    }

    // Parses the whole line and runs what it names; returns the exit status.
    int Run(int argc, char** argv) {
        try {
            fApp.parse(argc, argv);
            return fHelp->parsed() ? PrintHelp() : RunSelected();
        } catch (const CLI::ParseError& e) {
            if (e.get_exit_code() == 0)  // --help, --version
                return fApp.exit(e, std::cout, std::cerr);
            return UsageFailure(e.what());
        } catch (const UsageError& e) {
            return UsageFailure(e.what());
        } catch (const std::exception& e) {
            std::cerr << "xrayutils: " << e.what() << "\n";
            return kFailure;
        }
    }

  private:
    int PrintHelp() {
        if (fHelpTopic.empty()) {  // the program's own, not that of the selected `help`
            std::cout << fApp.get_formatter()->make_help(&fApp, fApp.get_name(),
                                                         CLI::AppFormatMode::Normal);
            return kSuccess;
        }
        for (CLI::App* command : fApp.get_subcommands({})) {
            if (command->get_name() == fHelpTopic) {
                std::cout << command->help(fApp.get_name());
                return kSuccess;
            }
        }
        throw UsageError("no command called " + fHelpTopic);
    }

    int RunSelected() {
        for (std::size_t k = 0; k < fCommands.size(); ++k) {
            if (!fApp.get_subcommands({})[k]->parsed())
                continue;
            Session session(fModulePath, std::cerr);
            CommandContext context{session, std::cout};
            const int status = fCommands[k]->Run(context);
            session.Close();
            return status;
        }
        throw UsageError("no command given");
    }

    // The message, then the usage of the command that was named, or of the program.
    int UsageFailure(const std::string& message) {
        std::cerr << "xrayutils: " << message << "\n\n";
        const std::vector<CLI::App*> selected = fApp.get_subcommands();
        std::cerr << (selected.empty() ? fApp.help() : selected.front()->help(fApp.get_name()));
        return kUsage;
    }

    CLI::App fApp;
    std::string fModulePath;
    std::vector<std::unique_ptr<Command>> fCommands;
    CLI::App* fHelp = nullptr;
    std::string fHelpTopic;
};

}  // namespace
}  // namespace xrayutils

int main(int argc, char** argv) {
    xray::port::KeepFreedMemory();
    xrayutils::CommandLine line(argc > 0 ? argv[0] : nullptr);
    return line.Run(argc, argv);
}
