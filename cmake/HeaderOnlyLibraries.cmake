# CLI11 and nlohmann-json for the Windows cross builds. Both are header-only and their
# Debian packages install only into the build machine's /usr/include, which a MinGW build
# must never search as a whole (its C headers would shadow the target's). A folder holding
# links to just these two header folders stands in as their include directory.
set(xray_header_links ${CMAKE_BINARY_DIR}/header-only)
foreach(folder CLI nlohmann)
    if(NOT EXISTS /usr/include/${folder})
        message(FATAL_ERROR "/usr/include/${folder} is missing: run make deps")
    endif()
    file(MAKE_DIRECTORY ${xray_header_links})
    file(CREATE_LINK /usr/include/${folder} ${xray_header_links}/${folder} SYMBOLIC)
endforeach()
add_library(CLI11::CLI11 INTERFACE IMPORTED)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${xray_header_links})
