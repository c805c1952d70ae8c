// ArgumentParser: a sub-command's arguments split into plain arguments and options.
//
// Options are named with their leading dashes ("--csv"). A value option takes the next
// argument, or the text after '=' ("--csv=out.csv"); a flag option takes none. "--" ends
// the options: everything after it is a plain argument, also when it starts with '-'. A
// lone "-" is a plain argument. ParseArguments throws UsageError for an option it was not
// told about, a value option without a value, a flag given a value, or a plain-argument
// count other than the one asked for. Read numbers with ParseNumber and ParseUnsigned,
// which throw UsageError naming the option.
#ifndef XRAY_CLI_ARGUMENTPARSER_H
#define XRAY_CLI_ARGUMENTPARSER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace xrayutils {

struct ArgumentSpec {
    std::size_t plainCount = 0;          // exactly this many plain arguments
    std::set<std::string> flags;         // e.g. {"--all"}
    std::set<std::string> valueOptions;  // e.g. {"--csv", "--thickness"}
};

struct ParsedArguments {
    std::vector<std::string> plain;
    std::set<std::string> flags;
    std::map<std::string, std::string> values;  // the last value given wins

    bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> Value(const std::string& option) const;
};

ParsedArguments ParseArguments(const std::vector<std::string>& arguments, const ArgumentSpec& spec);

// The whole text as a finite number, or UsageError("--name needs a number, not 'text'").
double ParseNumber(const std::string& text, const std::string& name);
// The whole text as an unsigned 32-bit decimal number, or UsageError as above.
uint32_t ParseUnsigned(const std::string& text, const std::string& name);

}  // namespace xrayutils

#endif  // XRAY_CLI_ARGUMENTPARSER_H
