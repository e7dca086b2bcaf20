# Small helpers shared by the subsystem CMake files.
include(GoogleTest)

# va_native_test(name sources...): a GoogleTest program over vacore, run natively.
function(va_native_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vacore GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  gtest_add_tests(TARGET ${name} TEST_PREFIX "native.")
endfunction()

# va_wine_test(name LIBS libs... SOURCES sources... [RC rcfiles...]): a GoogleTest
# program built with the cross compiler and run through Wine, one CTest entry per
# test case, serialised because all Wine tests share one prefix and registry.
function(va_wine_test name)
  cmake_parse_arguments(T "" "" "LIBS;SOURCES;RC" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_RC})
  target_link_libraries(${name} PRIVATE va_test_support ${T_LIBS} GTest::gtest)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  gtest_add_tests(TARGET ${name} TEST_PREFIX "wine." TEST_LIST added)
  set_tests_properties(${added} PROPERTIES RESOURCE_LOCK wine TIMEOUT 60 LABELS wine)
endfunction()

# va_deliverable(target): put a built program or library into the dist folder.
function(va_deliverable target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VA_DIST_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VA_DIST_DIR}
    PREFIX "")
endfunction()

# va_wine_command_test(name COMMAND...): a test that runs programs under Wine.
function(va_wine_command_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 60 LABELS wine)
endfunction()
