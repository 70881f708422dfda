# Installs the geometry library into a scratch prefix, then builds and runs the consumer
# project against it through find_package. Expects BUILD_DIR, SOURCE_DIR and WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                        --component Unspecified
                RESULT_VARIABLE r)
if(r)
  message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G Ninja
                        -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
                RESULT_VARIABLE r)
if(r)
  message(FATAL_ERROR "configure failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE r)
if(r)
  message(FATAL_ERROR "build failed")
endif()
execute_process(COMMAND ${WORK_DIR}/build/consumer RESULT_VARIABLE r)
if(r)
  message(FATAL_ERROR "consumer returned ${r}")
endif()
