# 32-bit Windows build: the deliverable programs. Built and inspected here,
# never run (this machine cannot execute 32-bit code).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GV_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
