// The built module's dynamic export table on ELF systems, read from the file with nm rather
// than from the module's own account. (Windows builds read the DLL's export table with
// objdump: cmake/CheckDllTables.cmake.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The names `nm -D --defined-only` lists for the module (address, kind, name per line).
std::vector<std::string> DefinedDynamicSymbols(const std::string& path) {
    const std::string command = std::string(NM_PROGRAM) + " -D --defined-only '" + path + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    EXPECT_NE(pipe, nullptr) << command;
    std::vector<std::string> names;
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        std::istringstream fields(line);
        std::string field;
        std::string last;
        while (fields >> field)
            last = field;
        if (!last.empty())
            names.push_back(last);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ModuleExportsTest, TheExportTableHoldsExactlyTheSixEntryPoints) {
    const std::vector<std::string> expected = {"DMPlugIn_GetVersion", "DMPlugIn_Link_2",
                                               "PlugInCleanup",       "PlugInRun",
                                               "PlugInShutdown",      "PlugInStartup"};
    EXPECT_EQ(DefinedDynamicSymbols(ZORXRAYUTILS_MODULE_PATH), expected);
}

}  // namespace
