// xrayutils: runs the ZorXrayUtils module's script functions on files, with the stand-in
// host in place of the host application.
//
//   xrayutils [--module PATH] SUBCOMMAND [ARGUMENTS]
//
// Exit status: 0 on success, 1 when the module cannot be loaded or started or a script
// function raised an error (its message on standard error), 2 when the command line is not
// understood (the usage on standard error). Whatever the module writes to the host's
// Results window goes to standard error.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/ModuleLocation.h"
#include "cli/Session.h"
#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

struct CommandLine {
    std::string modulePath;
    bool help = false;
    std::vector<std::string> words;  // the sub-command and its arguments
};

void PrintUsage(std::ostream& out) {
    out << "usage: xrayutils [--module PATH] SUBCOMMAND [ARGUMENTS]\n"
           "       xrayutils --help | help [SUBCOMMAND]\n\n"
           "Runs the ZorXrayUtils module's script functions in a stand-in host.\n\n"
           "Sub-commands:\n";
    for (const SubCommand* command : SubCommands()) {
        std::string shown = std::string(command->name) + " " + command->arguments;
        shown.resize(std::max<std::size_t>(shown.size() + 2, 20), ' ');
        out << "  " << shown << command->summary << "\n";
    }
    out << "\nOptions:\n"
           "  --module PATH       the module to load (default: "
        << XRAY_MODULE_FILE_NAME << " next to this program)\n";
}

void PrintCommandHelp(const SubCommand& command, std::ostream& out) {
    out << "usage: xrayutils [--module PATH] " << command.name;
    if (*command.arguments != '\0')
        out << " " << command.arguments;
    out << "\n\n" << command.description << "\n";
}

// Program options come before the sub-command; everything from the sub-command on is its.
CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine line;
    line.modulePath = DefaultModulePath(argc > 0 ? argv[0] : nullptr);
    int i = 1;
    for (; i < argc && line.words.empty(); ++i) {
        const std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            line.help = true;
        } else if (word == "--module") {
            if (++i == argc)
                throw UsageError("--module needs a path");
            line.modulePath = argv[i];
        } else if (word.rfind("--module=", 0) == 0) {
            line.modulePath = word.substr(9);
        } else if (word.size() > 1 && word[0] == '-') {
            throw UsageError("unknown option " + word);
        } else {
            line.words.push_back(word);
        }
    }
    line.words.insert(line.words.end(), argv + i, argv + argc);
    return line;
}

int Help(const std::vector<std::string>& topic) {
    if (topic.empty()) {
        PrintUsage(std::cout);
        return 0;
    }
    const SubCommand* command = topic.size() == 1 ? FindSubCommand(topic[0]) : nullptr;
    if (command == nullptr)
        throw UsageError("no help for " + topic[0]);
    PrintCommandHelp(*command, std::cout);
    return 0;
}

int RunCommand(const SubCommand& command, const CommandLine& line) {
    const std::vector<std::string> arguments(line.words.begin() + 1, line.words.end());
    Session session(line.modulePath, std::cerr);
    CommandContext context{session, std::cout};
    const int status = command.run(arguments, context);
    session.Close();
    return status;
}

int Main(int argc, char** argv) {
    const SubCommand* command = nullptr;
    try {
        const CommandLine line = ParseCommandLine(argc, argv);
        if (line.help)
            return Help({});
        if (line.words.empty())
            throw UsageError("no sub-command given");
        if (line.words[0] == "help")
            return Help({line.words.begin() + 1, line.words.end()});
        command = FindSubCommand(line.words[0]);
        if (command == nullptr)
            throw UsageError("unknown sub-command " + line.words[0]);
        return RunCommand(*command, line);
    } catch (const UsageError& error) {
        std::cerr << "xrayutils: " << error.what() << "\n\n";
        if (command != nullptr)
            PrintCommandHelp(*command, std::cerr);
        else
            PrintUsage(std::cerr);
        return kUsage;
    } catch (const std::exception& error) {
        std::cerr << "xrayutils: " << error.what() << "\n";
        return kFailure;
    }
}

}  // namespace
}  // namespace xrayutils

int main(int argc, char** argv) {
    return xrayutils::Main(argc, argv);
}
