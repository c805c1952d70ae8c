# Cross build for 64-bit Windows with MinGW-w64 (x86_64): the 64-bit DLL, the stand-in host,
# xrayutils.exe and the tests, which run under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(XRAY_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWCommon.cmake)
