# Small helpers shared by the subsystem CMake files.
include(GoogleTest)

# va_native_test(name sources...): a GoogleTest program over vacore, run natively.
function(va_native_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vacore GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  va_add_suite_tests(${name} "native." added ${ARGN})
  set_tests_properties(${added} PROPERTIES LABELS native)
endfunction()

# va_add_suite_tests(target prefix out-var sources...): one CTest entry per test
# suite of the sources (TEST, TEST_F, TEST_P), so that one process runs a whole
# suite and a suite fixture's set-up (a started host, say) serves all its tests.
function(va_add_suite_tests target prefix out)
  set(suites "")
  foreach(source ${ARGN})
    get_filename_component(path ${source} ABSOLUTE)
    if(NOT path MATCHES "\\.(cpp|cc)$")
      continue()
    endif()
    file(READ ${path} text)
    string(REGEX MATCHALL "TEST(_F|_P)?\\([ \t\r\n]*[A-Za-z_0-9]+" found "${text}")
    foreach(match ${found})
      string(REGEX REPLACE "TEST(_F|_P)?\\([ \t\r\n]*" "" suite "${match}")
      list(APPEND suites ${suite})
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
  endforeach()
  list(REMOVE_DUPLICATES suites)
  set(added "")
  foreach(suite ${suites})
    add_test(NAME ${prefix}${suite} COMMAND ${target} "--gtest_filter=${suite}.*:*/${suite}.*")
    list(APPEND added ${prefix}${suite})
  endforeach()
  set(${out} ${added} PARENT_SCOPE)
endfunction()

# va_wine_test(name LIBS libs... SOURCES sources... [RC rcfiles...]): a GoogleTest
# program built with the cross compiler and run through Wine, one CTest entry per
# test case, serialised because all Wine tests share one prefix and registry.
function(va_wine_test name)
  cmake_parse_arguments(T "" "" "LIBS;SOURCES;RC" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_RC})
  target_link_libraries(${name} PRIVATE va_test_support ${T_LIBS} GTest::gtest)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  va_add_suite_tests(${name} "wine." added ${T_SOURCES})
  set_tests_properties(${added} PROPERTIES RESOURCE_LOCK wine TIMEOUT 300 LABELS wine)
endfunction()

# va_deliverable(target): put a built program or library into the dist folder.
function(va_deliverable target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VA_DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VA_DIST_DIR}
    PREFIX "")
  va_lean_deliverable(${target})
endfunction()

# va_wine_command_test(name COMMAND...): a test that runs programs under Wine.
function(va_wine_command_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 60 LABELS wine)
endfunction()

# va_missing_tool_test(name tool labels): stands in for the tests that `tool` would
# run and fails, so that a machine without the tool cannot go green without them.
function(va_missing_tool_test name tool labels)
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "${tool} was not found: its tests cannot run (scripts/bootstrap.sh installs it)")
  set_tests_properties(${name} PROPERTIES FAIL_REGULAR_EXPRESSION "was not found" LABELS "${labels}")
endfunction()
