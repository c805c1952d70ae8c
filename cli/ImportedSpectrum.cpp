#include "cli/ImportedSpectrum.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "cli/SubCommand.h"

namespace xrayutils {

dmhost::ObjectRef ImportSpectrumFile(Session& session, const std::string& path) {
    dmhost::ScriptResult imported =
        session.Call("Zor_EMSAtoDM", {dmhost::ScriptValue::String(path)});
    if (!imported.value)
        throw std::runtime_error("no spectrum was imported from " + path);
    const dmhost::ImageSnapshot image = session.Host().ReadImage(imported.value.get());
    if (image.values.empty())
        throw std::runtime_error(path + " gave no spectrum channels");
    return std::move(imported.value);
}

double ParseNumber(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
        throw UsageError(option + " needs a number, not \"" + text + "\"");
    return value;
}

}  // namespace xrayutils
