# Runs the Windows build's test programs under Wine, so that ctest works the
# same in the windows preset as in the native one.
#
# Every test executable runs through scripts/wine-run.sh (the cross-compiling
# emulator). The tests share one headless X server and one fresh WINEPREFIX per
# ctest run: the fixture test wine_up brings them up, wine_down takes them down;
# their state lives in ${CMAKE_BINARY_DIR}/wine-env. Add tests with
# orv_wine_test(), which ties them to that fixture.

find_program(ORV_BASH bash REQUIRED)
set(ORV_WINE_RUN "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh")
set(ORV_WINE_STATE "${CMAKE_BINARY_DIR}/wine-env")
set(ORV_ARTIFACTS "${CMAKE_BINARY_DIR}/artifacts")
set(CMAKE_CROSSCOMPILING_EMULATOR "${ORV_BASH};${ORV_WINE_RUN};exec;${ORV_WINE_STATE}")

if(ORV_TESTS)
  enable_testing()
  add_test(NAME wine_up COMMAND ${ORV_BASH} ${ORV_WINE_RUN} up ${ORV_WINE_STATE})
  add_test(NAME wine_down COMMAND ${ORV_BASH} ${ORV_WINE_RUN} down ${ORV_WINE_STATE})
  set_tests_properties(wine_up PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  set_tests_properties(wine_down PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)
endif()

# orv_wine_test(NAME name COMMAND target args... [E2E] [TIMEOUT seconds])
# Adds a test that runs under the shared Wine. E2E tests drive the one screen
# and mouse, so they hold the "screen" lock and run one at a time.
function(orv_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "E2E" "NAME;TIMEOUT" "COMMAND")
  if(NOT ARG_NAME OR NOT ARG_COMMAND)
    message(FATAL_ERROR "orv_wine_test needs NAME and COMMAND")
  endif()
  if(NOT ARG_TIMEOUT)
    if(ARG_E2E)
      set(ARG_TIMEOUT 300)
    else()
      set(ARG_TIMEOUT 180)
    endif()
  endif()
  # wine-run.sh gives up a little before ctest would, so the output survives.
  math(EXPR inner "${ARG_TIMEOUT} - 15")
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES
    FIXTURES_REQUIRED wine
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "ORV_WINE_TIMEOUT=${inner};ORV_ARTIFACTS=${ORV_ARTIFACTS}")
  if(ARG_E2E)
    set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK screen LABELS e2e)
  endif()
endfunction()
