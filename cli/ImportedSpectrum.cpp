#include "cli/ImportedSpectrum.h"

#include <stdexcept>

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

}  // namespace xrayutils
