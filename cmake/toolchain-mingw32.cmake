# 32-bit Windows build: the deliverable programs, with their fixtures and
# end-to-end tests, which run under Wine (wine32) on this machine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GV_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
