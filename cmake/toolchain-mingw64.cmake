# 64-bit Windows build of the same sources, which keeps them correct on
# both word sizes; its programs and tests run under Wine on request.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GV_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
