// ModuleLocation: where xrayutils finds the module unless told: next to its own executable.
// Nothing here throws except std::bad_alloc.
#ifndef XRAY_CLI_MODULELOCATION_H
#define XRAY_CLI_MODULELOCATION_H

#include <string>

namespace xrayutils {

// The module's file name next to the running program; `argv0` is used only when the
// system cannot say where the program is.
std::string DefaultModulePath(const char* argv0);

}  // namespace xrayutils

#endif  // XRAY_CLI_MODULELOCATION_H
