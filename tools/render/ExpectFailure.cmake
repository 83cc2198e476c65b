# Runs PROGRAM with ARGS (a ;-list) and passes when it exits with EXIT_CODE and its error output
# matches PATTERN.
execute_process(COMMAND ${PROGRAM} ${ARGS} RESULT_VARIABLE result ERROR_VARIABLE error
                OUTPUT_QUIET)
if(NOT result EQUAL EXIT_CODE)
  message(FATAL_ERROR "exit code ${result}, expected ${EXIT_CODE}; error output: ${error}")
endif()
if(NOT error MATCHES "${PATTERN}")
  message(FATAL_ERROR "error output does not match \"${PATTERN}\": ${error}")
endif()
