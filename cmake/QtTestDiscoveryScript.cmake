# Build step of qt_discover_tests: writes OUTPUT, the CTest file with one test per function that
# EXECUTABLE lists with -functions. Takes TARGET, TIMEOUT and LABELS (separated by ",").
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${EXECUTABLE} -functions
  OUTPUT_VARIABLE listed
  ERROR_VARIABLE errors
  RESULT_VARIABLE result
  TIMEOUT 30)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${EXECUTABLE} -functions failed (${result}):\n${listed}${errors}")
endif()

set(properties "ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT ${TIMEOUT}")
if(LABELS)
  string(REPLACE "," ";" LABELS "${LABELS}")
  string(APPEND properties " LABELS [==[${LABELS}]==]")
endif()
set(content "")
string(REPLACE "\n" ";" lines "${listed}")
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)\\(\\)$")
    set(test "${TARGET}.${CMAKE_MATCH_1}")
    string(APPEND content
      "add_test([==[${test}]==] [==[${EXECUTABLE}]==] [==[${CMAKE_MATCH_1}]==])\n"
      "set_tests_properties([==[${test}]==] PROPERTIES ${properties})\n")
  endif()
endforeach()
if(content STREQUAL "")
  message(FATAL_ERROR "${EXECUTABLE} -functions listed no test function:\n${listed}")
endif()
file(WRITE ${OUTPUT} "${content}")
