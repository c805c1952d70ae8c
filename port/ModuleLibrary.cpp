#include "port/ModuleLibrary.h"

#include <stdexcept>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace xray::port {

#ifdef _WIN32

ModuleLibrary::ModuleLibrary(const std::string& path) {
    fHandle = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (fHandle == nullptr) {
        throw std::runtime_error("cannot load " + path + ": error " +
                                 std::to_string(GetLastError()));
    }
}

void* ModuleLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(fHandle), name));
}

void ModuleLibrary::Close() {
    if (fHandle != nullptr)
        FreeLibrary(static_cast<HMODULE>(fHandle));
    fHandle = nullptr;
}

bool ModuleLibrary::IsLoaded(const std::string& path) {
    std::string systemPath = path;
    for (char& c : systemPath) {
        if (c == '/')
            c = '\\';
    }
    return GetModuleHandleA(systemPath.c_str()) != nullptr;
}

std::string RunningProgramPath() {
    std::vector<char> buffer(4096);
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size())
        return std::string();
    return std::string(buffer.data(), length);
}

#else

ModuleLibrary::ModuleLibrary(const std::string& path) {
    fHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (fHandle == nullptr) {
        const char* message = dlerror();
        throw std::runtime_error("cannot load " + path + ": " +
                                 (message != nullptr ? message : "unknown error"));
    }
}

void* ModuleLibrary::Symbol(const char* name) const {
    return dlsym(fHandle, name);
}

void ModuleLibrary::Close() {
    if (fHandle != nullptr)
        dlclose(fHandle);
    fHandle = nullptr;
}

bool ModuleLibrary::IsLoaded(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return false;
    dlclose(handle);
    return true;
}

std::string RunningProgramPath() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size())
        return std::string();
    return std::string(buffer.data(), static_cast<size_t>(length));
}

#endif

ModuleLibrary::~ModuleLibrary() {
    Close();
}

}  // namespace xray::port
