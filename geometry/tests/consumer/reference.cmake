# Writes the library's own digests (PROGRAM's output, through EMULATOR if one is given) for the
# users' builds to match: OUT.txt over the default inputs, OUT_small.txt over a million inputs
# per small operation.
execute_process(COMMAND ${EMULATOR} ${PROGRAM} RESULT_VARIABLE r OUTPUT_VARIABLE all)
if(r)
  message(FATAL_ERROR "${PROGRAM} failed")
endif()
execute_process(COMMAND ${EMULATOR} ${PROGRAM} --small --calls 1000000 RESULT_VARIABLE r OUTPUT_VARIABLE small)
if(r)
  message(FATAL_ERROR "${PROGRAM} --small failed")
endif()
string(REPLACE "\r" "" all "${all}")
string(REPLACE "\r" "" small "${small}")
file(WRITE ${OUT}.txt "${all}")
file(WRITE ${OUT}_small.txt "${small}")
