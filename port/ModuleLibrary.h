// ModuleLibrary: the operating system's shared-library loader, and the only place in the
// stand-in host that names it (dlopen/dlsym/dlclose, or LoadLibrary/GetProcAddress/
// FreeLibrary on Windows); also where the loader says the running program came from.
//
// The constructor opens the library and throws std::runtime_error with the loader's message
// when it cannot; the destructor (or Close) closes it.
#ifndef XRAY_PORT_MODULELIBRARY_H
#define XRAY_PORT_MODULELIBRARY_H

#include <string>

namespace xray::port {

class ModuleLibrary {
  public:
    explicit ModuleLibrary(const std::string& path);
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // The address of an exported symbol, or null.
    void* Symbol(const char* name) const;
    void Close();

    // Whether the library at `path` is in this process's memory now, loaded by anyone. Never
    // loads it.
    static bool IsLoaded(const std::string& path);

  private:
    void* fHandle = nullptr;
};

// The path of the running program's own executable file, as the system's loader knows it,
// or an empty text when the system cannot say. Programs use it to find a module next to
// themselves.
std::string RunningProgramPath();

}  // namespace xray::port

#endif  // XRAY_PORT_MODULELIBRARY_H
