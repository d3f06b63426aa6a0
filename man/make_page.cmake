# Build step of one manual page: SOURCE (scdoc) to PAGE (roff), and PAGE.gz compressed as Debian
# wants it (best compression, no name or time stamp inside).
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${PAGE} ERROR_VARIABLE errors
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "scdoc refused ${SOURCE}: ${errors}")
endif()
execute_process(COMMAND gzip -9n --stdout ${PAGE} OUTPUT_FILE ${PAGE}.gz RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${PAGE}")
endif()
