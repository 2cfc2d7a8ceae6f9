# Tests of a Windows build run under Wine. One prefix per CTest run, made fresh
# by the fixture test wine_prefix_start and removed (its wineserver stopped) by
# wine_prefix_stop; every test that runs a Windows program requires it.
set(MC_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)

add_test(NAME wine_prefix_start COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh start ${MC_WINE_PREFIX})
add_test(NAME wine_prefix_stop COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh stop ${MC_WINE_PREFIX})
set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine_prefix)
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine_prefix)

# Makes a test run in the run's prefix, with the prefix's own home folder.
function(mc_wine_test name)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_prefix
    ENVIRONMENT "WINEPREFIX=${MC_WINE_PREFIX};HOME=${MC_WINE_PREFIX}/home;WINEDEBUG=-all")
endfunction()
