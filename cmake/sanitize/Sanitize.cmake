# -DQUORVELLE_SANITIZE=ON: every target of ours built with AddressSanitizer and
# UndefinedBehaviorSanitizer, so a memory fault or undefined behaviour ends the process with a report
# instead of going on quietly. Third-party libraries (Qt, whisper.cpp) stay as they are.
option(QUORVELLE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(NOT QUORVELLE_SANITIZE)
  return()
endif()

# float-cast-overflow is undefined behaviour that GCC's -fsanitize=undefined leaves out. Qt 6.4's
# inline list comparison hands memcmp a null pointer with a zero length whenever an empty list meets
# one with storage, so the null-argument check would stop every such comparison; a null pointer
# with a real length is still caught by AddressSanitizer.
set(quorvelle_sanitize_flags
  -fsanitize=address,undefined,float-cast-overflow -fno-sanitize=nonnull-attribute -fno-sanitize-recover=all
  -fno-omit-frame-pointer)
add_compile_options(${quorvelle_sanitize_flags})
# After the build type's -O2 -g, so these win: light optimisation, as AddressSanitizer advises, and
# line tables only, which keep every report's files and lines. The tree builds in far less time and
# room than with full debug information, so that the test command can build it on every run.
add_compile_options(-O1 -g1)
# The instrumentation makes GCC's flow-based warnings report paths that cannot run (GCC's manual
# advises against -Werror with sanitizers): they stay warnings here, and errors in the normal build.
add_compile_options(-Wno-error=array-bounds -Wno-error=maybe-uninitialized -Wno-error=stringop-overflow
  -Wno-error=stringop-overread -Wno-error=restrict)
add_link_options(${quorvelle_sanitize_flags})

# The runtime options are built into each executable rather than left to the environment, so that
# every process a test or benchmark starts (the app itself, the fixture apps) runs with them.
function(quorvelle_sanitize_executables dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_sources(${target} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/SanitizerDefaults.cpp)
      set_source_files_properties(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/SanitizerDefaults.cpp
        TARGET_DIRECTORY ${target} PROPERTIES COMPILE_DEFINITIONS
        QUORVELLE_LSAN_SUPPRESSIONS="${CMAKE_CURRENT_FUNCTION_LIST_DIR}/lsan-suppressions.txt")
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    quorvelle_sanitize_executables(${subdir})
  endforeach()
endfunction()
