# 32-bit Windows build: the deliverable programs. Built and inspected here,
# never run (this machine cannot execute 32-bit code).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GV_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${GV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GV_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
