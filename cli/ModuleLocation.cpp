#include "cli/ModuleLocation.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <vector>

namespace xrayutils {
namespace {

std::string ExecutablePath(const char* argv0) {
    std::vector<char> buffer(4096);
#ifdef _WIN32
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), buffer.size());
    if (length > 0 && length < buffer.size())
        return std::string(buffer.data(), length);
#else
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length > 0 && static_cast<size_t>(length) < buffer.size())
        return std::string(buffer.data(), static_cast<size_t>(length));
#endif
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
