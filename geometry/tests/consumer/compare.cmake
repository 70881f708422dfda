# Runs a consumer's digest (CONSUMER) over a million inputs per small operation, through
# EMULATOR if one is given: it must equal the library's own (the file REFERENCE, written by
# reference.cmake), and the consumer must say whether it inlined as INLINED expects. A consumer
# that must not inline (built with -ffast-math) calls the library, whose bits the reference
# already is; only the choice is checked there, since -ffast-math changes the program's own
# arithmetic (its inputs: a double beyond a float's range converted to float is undefined).
function(digest program out)
  execute_process(COMMAND ${EMULATOR} ${program} ${ARGN} RESULT_VARIABLE r OUTPUT_VARIABLE o ERROR_VARIABLE e)
  if(r)
    message(FATAL_ERROR "${program} ${ARGN} failed (${r}): ${e}")
  endif()
  string(REPLACE "\r" "" o "${o}")
  set(${out} "${o}" PARENT_SCOPE)
endfunction()

digest(${CONSUMER} inlined --inlined)
string(STRIP "${inlined}" inlined)
if(NOT inlined STREQUAL INLINED)
  message(FATAL_ERROR "${WHAT}: the small operations are ${inlined} inlined, expected ${INLINED}")
endif()
if(NOT INLINED)
  message(STATUS "${WHAT}: not inlined, as required")
  return()
endif()
file(READ ${REFERENCE} want)
digest(${CONSUMER} got --small --calls 1000000)
if(NOT got STREQUAL want)
  message(FATAL_ERROR "${WHAT}: not the library's bits:\n${got}\nexpected:\n${want}")
endif()
message(STATUS "${WHAT}: inlined ${inlined}, the same bits")
