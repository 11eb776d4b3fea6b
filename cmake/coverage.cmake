# coverage.cmake: the coverage build (GV_COVERAGE, made by scripts/coverage).
# The programs' own code (the folders common, monopen, notify) is compiled
# with gcc's --coverage and without optimisation, so that the counted lines
# and branches are the source's; the tests, fixtures and tools are linked
# with the counting library but not counted. Each Windows program of those
# folders gets common/win32/covdump.cpp, which writes its counts when a
# test asks before ending it with TerminateProcess.

# Before the targets are made: everything links the counting library.
add_link_options(--coverage)

# gv_count_coverage(FOLDER...): counts the targets made in those folders.
function(gv_count_coverage)
  foreach(folder ${ARGN})
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE")
        target_compile_options(${target} PRIVATE --coverage -O0)
      endif()
      if(WIN32 AND type STREQUAL "EXECUTABLE")
        target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/common/win32/covdump.cpp)
      endif()
    endforeach()
  endforeach()
endfunction()
