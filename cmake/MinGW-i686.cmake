# Cross build for 32-bit Windows with MinGW-w64 (i686): the DLL users install in the host
# application. The -posix compilers carry the standard thread library GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(XRAY_MINGW_TRIPLE i686-w64-mingw32)
# Doubles are computed in SSE2 registers, as on every 64-bit build: the x87 registers hold
# more bits than a double and round results twice, so numbers read from spectrum files and
# fitted values would differ from the tested 64-bit results in the last bit.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/MinGWCommon.cmake)
