# Cross-compiles a statically linked Windows x64 program with MinGW-w64
# (POSIX-thread compilers) and runs its tests under Wine.
#
# The third-party libraries come from the prefix made by
# scripts/build-windows-deps: pass it as -DORVANTIS_WINDEPS_PREFIX=PATH or in
# the environment variable ORVANTIS_WINDEPS_PREFIX.
set(CMAKE_SYSTEM_NAME Windows)
# x86_64, not AMD64: some libraries only enable their SIMD code for it.
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANTIS_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANTIS_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANTIS_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANTIS_MINGW_HOST}-windres)

if(NOT ORVANTIS_WINDEPS_PREFIX AND DEFINED ENV{ORVANTIS_WINDEPS_PREFIX})
  set(ORVANTIS_WINDEPS_PREFIX "$ENV{ORVANTIS_WINDEPS_PREFIX}")
endif()
if(NOT ORVANTIS_WINDEPS_PREFIX OR NOT EXISTS "${ORVANTIS_WINDEPS_PREFIX}/.complete")
  message(FATAL_ERROR
    "ORVANTIS_WINDEPS_PREFIX ('${ORVANTIS_WINDEPS_PREFIX}') is not a finished "
    "dependency prefix: run scripts/build-windows-deps and pass the path it "
    "prints last (-DORVANTIS_WINDEPS_PREFIX=... or the environment variable).")
endif()
set(ORVANTIS_WINDEPS_PREFIX "${ORVANTIS_WINDEPS_PREFIX}" CACHE PATH
  "Static Windows libraries made by scripts/build-windows-deps")
# try_compile projects read this file again: hand them the prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVANTIS_WINDEPS_PREFIX)

# Libraries, headers and CMake packages come from the prefix first, then the
# MinGW-w64 system tree; programs (python3, pkg-config) from the build host.
set(CMAKE_FIND_ROOT_PATH "${ORVANTIS_WINDEPS_PREFIX}" /usr/${ORVANTIS_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config reads only the prefix's .pc files.
set(PKG_CONFIG_EXECUTABLE ${ORVANTIS_MINGW_HOST}-pkg-config CACHE FILEPATH "")
set(ENV{PKG_CONFIG_LIBDIR} "${ORVANTIS_WINDEPS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Everything static: no libstdc++, libgcc or libwinpthread DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest (and gtest_discover_tests) run the Windows programs under Wine.
get_filename_component(_orv_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_orv_wine_run}")
unset(_orv_wine_run)
