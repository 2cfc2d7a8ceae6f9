# GoogleTest: the system package natively; built from Debian's source package
# when cross-compiling.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest) # older sources do not name their targets so
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
if(CMAKE_CROSSCOMPILING AND WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/Wine.cmake)
endif()

# Registers a GoogleTest executable with CTest. Natively each test case is one
# CTest test; a cross-built executable is one CTest test run through
# CMAKE_CROSSCOMPILING_EMULATOR, since every start of an emulated process costs
# far more than a test case.
function(mc_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    if(WIN32)
      mc_wine_test(${target})
    endif()
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

# Adds SOURCE, which runs the mcscript tool through a POSIX shell and checks its
# exit statuses, to a test executable; the Windows build has no such shell.
function(mc_add_tool_runs target source)
  if(NOT MC_WIN32)
    target_sources(${target} PRIVATE ${source})
    target_compile_definitions(${target} PRIVATE MCSCRIPT_PATH="$<TARGET_FILE:mcscript>")
    add_dependencies(${target} mcscript)
  endif()
endfunction()
