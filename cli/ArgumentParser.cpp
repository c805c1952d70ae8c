#include "cli/ArgumentParser.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "cli/SubCommand.h"

namespace xrayutils {
namespace {

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// Takes the option at `i` (and its value), advancing `i` past what it used.
void TakeOption(const std::vector<std::string>& arguments, std::size_t& i, const ArgumentSpec& spec,
                ParsedArguments& parsed) {
    const std::string& argument = arguments[i];
    const std::string::size_type equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (spec.flags.count(name) != 0) {
        if (equals != std::string::npos)
            throw UsageError(name + " takes no value");
        parsed.flags.insert(name);
    } else if (spec.valueOptions.count(name) != 0) {
        if (equals != std::string::npos) {
            parsed.values[name] = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            parsed.values[name] = arguments[++i];
        } else {
            throw UsageError(name + " needs a value");
        }
    } else {
        throw UsageError("unknown option " + name);
    }
}

[[noreturn]] void NotANumber(const std::string& text, const std::string& name) {
    throw UsageError(name + " needs a number, not '" + text + "'");
}

}  // namespace

std::optional<std::string> ParsedArguments::Value(const std::string& option) const {
    const auto found = values.find(option);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments,
                               const ArgumentSpec& spec) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!optionsEnded && arguments[i] == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && IsOption(arguments[i])) {
            TakeOption(arguments, i, spec, parsed);
        } else {
            parsed.plain.push_back(arguments[i]);
        }
    }
    if (parsed.plain.size() < spec.plainCount)
        throw UsageError("missing argument");
    if (parsed.plain.size() > spec.plainCount)
        throw UsageError("unexpected argument " + parsed.plain[spec.plainCount]);
    return parsed;
}

double ParseNumber(const std::string& text, const std::string& name) {
    // strtod would skip leading blanks; the whole text must be the number.
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        NotANumber(text, name);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value))
        NotANumber(text, name);
    return value;
}

uint32_t ParseUnsigned(const std::string& text, const std::string& name) {
    if (text.empty() || text.size() > 10 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        NotANumber(text, name);
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value > UINT32_MAX)
        NotANumber(text, name);
    return static_cast<uint32_t>(value);
}

}  // namespace xrayutils
