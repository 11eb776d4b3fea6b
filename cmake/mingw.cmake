# The part of the two Windows toolchains they share; each sets
# GV_MINGW_PREFIX (the compilers' target triplet) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${GV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GV_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${GV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
