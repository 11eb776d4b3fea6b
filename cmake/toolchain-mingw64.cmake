# 64-bit Windows build: the programs, their fixtures and the end-to-end tests,
# which run under Wine on this machine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GV_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
