# Shared part of the MinGW-w64 toolchain files; XRAY_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${XRAY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${XRAY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${XRAY_MINGW_TRIPLE}-windres)

# Libraries and headers come from the target's tree only; programs run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${XRAY_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
