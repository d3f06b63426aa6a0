# qt_discover_tests(TARGET [TIMEOUT seconds] [LABELS label...]) registers one CTest test per test
# function of a QTest executable, named TARGET.FUNCTION and run in a process of its own under the
# offscreen platform. As gtest_discover_tests does for GoogleTest, the functions are asked from
# the executable itself (-functions) after every build of it, so that a new test function needs
# no list entry.

set(_QT_TEST_DISCOVERY_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/QtTestDiscoveryScript.cmake)

function(qt_discover_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "LABELS")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 60)
  endif()
  # The labels travel as one argument of the build step.
  string(REPLACE ";" "," labels "${arg_LABELS}")
  set(testsFile ${CMAKE_CURRENT_BINARY_DIR}/${target}_qt_tests.cmake)
  set(includeFile ${CMAKE_CURRENT_BINARY_DIR}/${target}_qt_include.cmake)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
      -D EXECUTABLE=$<TARGET_FILE:${target}>
      -D TARGET=${target}
      -D TIMEOUT=${arg_TIMEOUT}
      -D LABELS=${labels}
      -D OUTPUT=${testsFile}
      -P ${_QT_TEST_DISCOVERY_SCRIPT}
    VERBATIM)
  # Until the executable is built, a stand-in test fails and says so.
  file(WRITE ${includeFile}
    "if(EXISTS \"${testsFile}\")\n"
    "  include(\"${testsFile}\")\n"
    "else()\n"
    "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${includeFile})
endfunction()
