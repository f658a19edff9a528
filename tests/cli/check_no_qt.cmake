# Checks that a command-line program (korvane-solve, korvane-make) needs no Qt library at run time:
# scripts call it once per file, and loading QtCore alone would cost more than the whole solve. Takes
# READELF and BINARY.
execute_process(COMMAND "${READELF}" -d "${BINARY}" OUTPUT_VARIABLE dynamic RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${READELF} could not read ${BINARY}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
if(NOT needed MATCHES "libc\\.so")
  message(FATAL_ERROR "no libraries found among the needs of ${BINARY}: ${dynamic}")
endif()
if(needed MATCHES "libQt")
  message(FATAL_ERROR "${BINARY} needs Qt at run time: ${needed}")
endif()
