include(GoogleTest)

# orbanex_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One test program per folder; every test case becomes a ctest entry named as
# GoogleTest names it (a parameter's printed bytes, which hold addresses, would
# change the name at every build). The shared main sets QT_QPA_PLATFORM=offscreen
# when unset, so discovery and runs work without a display.
function(orbanex_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  gtest_discover_tests(${name} NO_PRETTY_VALUES DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# orbanex_add_fuzz_target(<name> SOURCES <files...> LIBS <targets...>
#                         SEEDS <folders or files...> [DEPENDS <targets...>])
# A libFuzzer target (LLVMFuzzerTestOneInput, optionally LLVMFuzzerInitialize)
# built with any compiler as <name>_replay, our own main running it once over
# every stored seed; ctest runs that in every build, the sanitizers' included.
# DEPENDS names targets that make seeds at build time. With FUZZ=ON (clang) it
# is also built as <name>, the libFuzzer program, and joins the target `fuzz`.
function(orbanex_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;SEEDS;DEPENDS" ${ARGN})
  add_executable(${name}_replay ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/FuzzReplayMain.cpp)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  if(ARG_DEPENDS)
    add_dependencies(${name}_replay ${ARG_DEPENDS})
  endif()
  add_test(NAME FuzzSeeds.${name} COMMAND ${name}_replay ${ARG_SEEDS})
  set_tests_properties(FuzzSeeds.${name} PROPERTIES TIMEOUT 300)
  if(FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzz ${name})
    if(ARG_DEPENDS)
      add_dependencies(${name} ${ARG_DEPENDS})
    endif()
  endif()
endfunction()
