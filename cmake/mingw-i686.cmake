# Cross-building the 32-bit Windows program with MinGW-w64. The win32 thread
# model: the program starts no thread of its own, and the POSIX thread runtime
# of the other model would bring in imports that Windows XP does not have.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KOBEX_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KOBEX_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KOBEX_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${KOBEX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KOBEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
