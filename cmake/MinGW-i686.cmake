# Cross build for 32-bit Windows with MinGW-w64 (i686): the DLL users install in the host
# application. The -posix compilers carry the standard thread library GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(XRAY_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWCommon.cmake)
