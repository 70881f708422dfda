# Writes the library's own digest (PROGRAM's output) to OUT, for the users' builds to match.
execute_process(COMMAND ${PROGRAM} RESULT_VARIABLE r OUTPUT_FILE ${OUT})
if(r)
  message(FATAL_ERROR "${PROGRAM} failed")
endif()
