# Checks a Windows build of the module from its file, as the host's loader sees it:
#   cmake -DDLL=<path> -DOBJDUMP=<objdump> -DFORMAT=<pei-i386|pei-x86-64> -P CheckDllTables.cmake
# The file format must be FORMAT, the export table must name exactly the six entry points,
# unmangled and undecorated, and the import table exactly the system DLLs KERNEL32, msvcrt
# and SHELL32: a MinGW runtime DLL (libstdc++, libgcc, winpthread) would not exist on the
# microscope's computer. Prints both tables; fails with a message naming every difference.
foreach(var DLL OBJDUMP FORMAT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "CheckDllTables: ${var} is not set")
    endif()
endforeach()
if(NOT EXISTS "${DLL}")
    message(FATAL_ERROR "CheckDllTables: no such file: ${DLL}")
endif()

execute_process(COMMAND "${OBJDUMP}" -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed
                ERROR_VARIABLE error)
if(failed)
    message(FATAL_ERROR "CheckDllTables: ${OBJDUMP} -p failed: ${error}")
endif()
string(REPLACE "\r" "" dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")

set(format "")
set(exports "")
set(imports "")
set(in_names FALSE)
foreach(line IN LISTS lines)
    if(line MATCHES "file format ([^ \t]+)")
        set(format "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
        set(in_names TRUE)
    elseif(in_names AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
        list(APPEND exports "${CMAKE_MATCH_1}")
    elseif(in_names)
        set(in_names FALSE)
    endif()
    if(line MATCHES "^[ \t]*DLL Name: (.+)$")
        string(TOUPPER "${CMAKE_MATCH_1}" dll)
        list(APPEND imports "${dll}")
    endif()
endforeach()
list(SORT exports)
list(SORT imports)

set(expected_exports DMPlugIn_GetVersion DMPlugIn_Link_2 PlugInCleanup PlugInRun PlugInShutdown
                     PlugInStartup)
set(expected_imports KERNEL32.DLL MSVCRT.DLL SHELL32.DLL)

message(STATUS "${DLL}: ${format}")
message(STATUS "exports: ${exports}")
message(STATUS "imports: ${imports}")

set(faults "")
if(NOT format STREQUAL FORMAT)
    list(APPEND faults "file format is '${format}', expected '${FORMAT}'")
endif()
if(NOT exports STREQUAL expected_exports)
    list(APPEND faults "export table is '${exports}', expected '${expected_exports}'")
endif()
if(NOT imports STREQUAL expected_imports)
    list(APPEND faults "import table is '${imports}', expected '${expected_imports}'")
endif()
if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "CheckDllTables:\n  ${text}")
endif()
