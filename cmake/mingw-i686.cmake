# Cross-builds the 32-bit Windows program with Debian's MinGW-w64 toolchain
# (package g++-mingw-w64-i686):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(mingw_triple i686-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

# Headers and libraries from the MinGW sysroot only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

