include(GoogleTest)

# orbanex_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One test program per folder; every test case becomes a ctest entry.
# The shared main sets QT_QPA_PLATFORM=offscreen when unset, so discovery and
# runs work without a display.
function(orbanex_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
