# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix thread model: GCC 12's win32
# model has no std::thread or std::mutex). DESK_WINDOWS_PREFIX is the folder holding the Windows
# builds of the libraries (scripts/build-windows makes it); nothing is taken from the host's
# /usr/include or /usr/lib, whose glibc headers would break the build. Executables link the C and
# C++ runtimes statically, so only the SDL DLLs are shipped; tests and discovery run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

set(DESK_WINDOWS_PREFIX "$ENV{DESK_WINDOWS_PREFIX}" CACHE PATH "The Windows libraries' prefix")
if(NOT DESK_WINDOWS_PREFIX)
  message(FATAL_ERROR "Set DESK_WINDOWS_PREFIX (scripts/build-windows does)")
endif()
# CMake's compiler checks read this file again in projects of their own.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DESK_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH ${DESK_WINDOWS_PREFIX} /usr/${mingw})
set(CMAKE_PREFIX_PATH ${DESK_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${DESK_WINDOWS_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --dlls ${DESK_WINDOWS_PREFIX}/bin)
