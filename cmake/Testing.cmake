# Native builds use Debian's GoogleTest; a cross build compiles it from the sources Debian ships.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Recent GoogleTest sources name their targets GTest:: themselves.
  foreach(target gtest gtest_main gmock)
    if(NOT TARGET GTest::${target})
      add_library(GTest::${target} ALIAS ${target})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()

# ptk_add_gtest(<name> SOURCES <files...> LIBS <targets...>) adds one test executable run by ctest.
function(ptk_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main ptk_options)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(PTK_TEST_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${PTK_TEST_ENVIRONMENT}")
  endif()
endfunction()

# ptk_add_qtest(<name> SOURCES <files...> LIBS <targets...>) adds one window test: a QtTest
# program (it may use GoogleTest's assertions too) run without a display.
function(ptk_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test GTest::gtest ptk_test_support
                        ptk_options)
  add_test(NAME ${name} COMMAND ${name})
  set(environment "QT_QPA_PLATFORM=offscreen")
  if(PTK_QTEST_ENVIRONMENT)
    string(APPEND environment ";${PTK_QTEST_ENVIRONMENT}")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600)
endfunction()

# The tests that start threads also run under ThreadSanitizer (the tsan preset builds and runs
# only them): ptk_thread_test(<name>) labels a test "threads" and puts it into the target
# thread_tests.
if(NOT TARGET thread_tests)
  add_custom_target(thread_tests)
endif()
function(ptk_thread_test name)
  set_property(TEST ${name} APPEND PROPERTY LABELS threads)
  add_dependencies(thread_tests ${name})
endfunction()
