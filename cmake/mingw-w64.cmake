# Cross-builds the Windows programs with Debian's mingw-w64 (64-bit, POSIX threads, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VYMERA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VYMERA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VYMERA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VYMERA_MINGW}-windres)

# Libraries and headers of the target only: nothing of the build machine's /usr leaks in.
set(CMAKE_FIND_ROOT_PATH /usr/${VYMERA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
