# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 against the static
# libraries that scripts/windows-deps.sh builds, and runs what it builds (tests
# included) under Wine:
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/windows-toolchain.cmake \
#         -DTREKLINE_WINDOWS_PREFIX="$(scripts/windows-deps.sh)"
#
# The prefix may also come from the environment variable of the same name.

# Read again as the rules override, once a compiler is known: archives before
# import libraries, and nothing else changed.
if(CMAKE_C_COMPILER_LOADED OR CMAKE_CXX_COMPILER_LOADED)
    set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib)
    return()
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: the win32 one has no std::thread or std::mutex.
set(TREKLINE_WINDOWS_TARGET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TREKLINE_WINDOWS_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TREKLINE_WINDOWS_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${TREKLINE_WINDOWS_TARGET}-windres)

if(NOT TREKLINE_WINDOWS_PREFIX AND DEFINED ENV{TREKLINE_WINDOWS_PREFIX})
    set(TREKLINE_WINDOWS_PREFIX "$ENV{TREKLINE_WINDOWS_PREFIX}")
endif()
if(NOT TREKLINE_WINDOWS_PREFIX OR NOT EXISTS "${TREKLINE_WINDOWS_PREFIX}/.complete")
    message(FATAL_ERROR "TREKLINE_WINDOWS_PREFIX must name the prefix that scripts/windows-deps.sh "
                        "prints (now: '${TREKLINE_WINDOWS_PREFIX}')")
endif()
set(TREKLINE_WINDOWS_PREFIX "${TREKLINE_WINDOWS_PREFIX}" CACHE PATH
    "The cross-built libraries, from scripts/windows-deps.sh")
# CMake's compiler checks read this file again in projects of their own.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TREKLINE_WINDOWS_PREFIX)

# Libraries, headers and CMake packages only from the prefix and MinGW's own
# directory; programs (wxrc, tclsh) from the host.
set(CMAKE_FIND_ROOT_PATH "${TREKLINE_WINDOWS_PREFIX}" /usr/${TREKLINE_WINDOWS_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the prefix's .pc files (static: their private parts are
# folded in) and MinGW's zlib.pc, never the host's.
set(ENV{PKG_CONFIG_LIBDIR}
    "${TREKLINE_WINDOWS_PREFIX}/lib/pkgconfig:${TREKLINE_WINDOWS_PREFIX}/share/pkgconfig:/usr/${TREKLINE_WINDOWS_TARGET}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSTEM_INCLUDE_PATH} /usr/${TREKLINE_WINDOWS_TARGET}/include)
set(ENV{PKG_CONFIG_SYSTEM_LIBRARY_PATH} /usr/${TREKLINE_WINDOWS_TARGET}/lib)
unset(ENV{PKG_CONFIG_PATH})
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

# The static MSW build of wxWidgets, not the host's wxGTK.
set(wxWidgets_CONFIG_EXECUTABLE "${TREKLINE_WINDOWS_PREFIX}/bin/wx-config" CACHE FILEPATH "")

# One .exe that needs no DLL beside it: libstdc++, libgcc and winpthread are
# linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# MinGW ships zlib both as libz.a and as the import library libz.dll.a, and
# Platform/Windows-GNU prefers import libraries, which would tie the program
# to zlib1.dll. That platform file is read after this one and the rules
# override after it, so this file comes back as the override (see the top).
set(CMAKE_USER_MAKE_RULES_OVERRIDE "${CMAKE_CURRENT_LIST_FILE}")

# Tests and other built programs run under Wine, in a Wine prefix of the
# project's own and with Wine's service processes kept off the test's output.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
