# 64-bit Windows build: the programs, their fixtures and the end-to-end tests,
# which run under Wine on this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GV_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
