# Cross-building for 64-bit Windows with Debian's mingw-w64 (package
# g++-mingw-w64-x86-64):
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# The POSIX-threads flavour of the compiler, since the standard library's
# threads, mutexes and condition variables need it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZELKOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZELKOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELKOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELKOR_MINGW_TRIPLE}-windres)

# Libraries and headers for the target only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZELKOR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program stands alone: the compiler's run-time libraries (libgcc,
# libstdc++, winpthreads) are linked in, so an .exe needs only what Windows
# itself ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
