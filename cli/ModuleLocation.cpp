#include "cli/ModuleLocation.h"

#include "port/ModuleLibrary.h"

namespace xrayutils {
namespace {

std::string ExecutablePath(const char* argv0) {
    const std::string path = xray::port::RunningProgramPath();
    if (!path.empty())
        return path;
    return argv0 != nullptr ? argv0 : "";
}

std::string DirectoryPart(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string DefaultModulePath(const char* argv0) {
    return DirectoryPart(ExecutablePath(argv0)) + XRAY_MODULE_FILE_NAME;
}

}  // namespace xrayutils
