# Everything the cross builds (the toolchain files next to this one) need beyond the
# ordinary build, kept in one place. Included from the top CMakeLists.txt before the
# project's warning flags, so that GoogleTest built here is compiled with its own.
if(NOT CMAKE_CROSSCOMPILING)
    return()
endif()

# Tests run on the build machine through an emulator; ctest and the test discovery of
# GoogleTest use it unchanged. wine gets a prefix of its own inside the build folder.
if(WIN32)
    find_program(XRAY_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib/x86_64-linux-gnu/wine
                 NO_CMAKE_FIND_ROOT_PATH)
    if(XRAY_WINE64 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine64-run.sh ${XRAY_WINE64}
                                          ${CMAKE_BINARY_DIR}/wineprefix)
        # The first start creates the prefix, which takes a while: do it once while building
        # rather than in several tests at the same time.
        add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/wineprefix.stamp
                           COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
                           COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/wineprefix.stamp
                           COMMENT "Creating the wine prefix" VERBATIM)
        add_custom_target(wineprefix ALL DEPENDS ${CMAKE_BINARY_DIR}/wineprefix.stamp)
    endif()
else()
    find_program(XRAY_QEMU_I386 NAMES qemu-i386 NO_CMAKE_FIND_ROOT_PATH)
    if(XRAY_QEMU_I386)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${XRAY_QEMU_I386})
    endif()
endif()

# Windows: every program and the DLL carry libgcc, libstdc++ and the thread library inside,
# so they need only system DLLs.
if(WIN32)
    add_link_options(-static)
endif()

# GoogleTest is compiled for the target from the sources Debian's googletest package
# installs; find_package(GTest) then finds these targets, never the build machine's library.
if(XRAY_BUILD_TESTS)
    include(FetchContent)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    FetchContent_Declare(GTest SOURCE_DIR /usr/src/googletest OVERRIDE_FIND_PACKAGE)
    FetchContent_MakeAvailable(GTest)  # defines GTest::gtest, GTest::gtest_main, GTest::gmock
endif()
