# Uses the geometry library as another project would, and checks that every way gives the
# same bits as the library's own build (the digest REFERENCE printed by this build's
# geometry_digest):
#   - the library configured, built and tested on its own, with nothing else installed;
#   - installed, then found with find_package, by a project compiled with
#     -O3 -march=native -ffp-contract=fast;
#   - installed, then compiled and linked with pkg-config's flags;
#   - through add_subdirectory (built with the scalar code only) and through FetchContent;
#   - installed, then compiled by clang at -O0, -O2 and -O3 -march=native -ffp-contract=fast
#     (the small operations inlined, a million inputs each) and with -ffast-math (not inlined).
# Expects SOURCE_DIR (the geometry library's folder), WORK_DIR, REFERENCE (the digests written
# by reference.cmake, without .txt), CXX and CTEST.
file(REMOVE_RECURSE ${WORK_DIR})
set(geometry ${SOURCE_DIR})
file(READ ${REFERENCE}.txt reference)
file(READ ${REFERENCE}_small.txt reference_small)

function(check_digest program what)
  execute_process(COMMAND ${program} RESULT_VARIABLE r OUTPUT_VARIABLE digest)
  if(r OR NOT digest STREQUAL reference)
    message(FATAL_ERROR "${what}: the digest differs from the library's own build:\n${digest}\nexpected:\n${reference}")
  endif()
  message(STATUS "${what}: the same bits")
endfunction()

# Whether the small operations were inlined, and (where they were) their bits over a million
# inputs each. Under -ffast-math only the choice is checked (compare.cmake says why).
function(check_small program inlined what)
  execute_process(COMMAND ${program} --inlined OUTPUT_VARIABLE got_inlined OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(digest "${reference_small}")
  set(r 0)
  if(inlined)
    execute_process(COMMAND ${program} --small --calls 1000000 RESULT_VARIABLE r OUTPUT_VARIABLE digest)
  endif()
  if(r OR NOT digest STREQUAL reference_small OR NOT got_inlined STREQUAL inlined)
    message(FATAL_ERROR "${what}: inlined ${got_inlined} (expected ${inlined}), digest\n${digest}\nexpected:\n${reference_small}")
  endif()
  message(STATUS "${what}: inlined ${inlined}, the same bits")
endfunction()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE r OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(r)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
endfunction()

# On its own, with its test program passing (the digest checks are the including build's and
# this script's), and installed.
run(${CMAKE_COMMAND} -S ${geometry} -B ${WORK_DIR}/alone -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CXX}
    -DTAVERIN_GEOMETRY_USER_CHECKS=OFF)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/alone --target geometry test_geometry)
run(${CTEST} --test-dir ${WORK_DIR}/alone --output-on-failure -E "^geometry_")
run(${CMAKE_COMMAND} --install ${WORK_DIR}/alone --prefix ${WORK_DIR}/prefix)
if(NOT EXISTS ${WORK_DIR}/prefix/include/taverin/geometry/version.h)
  message(FATAL_ERROR "the headers are not installed under include/taverin/geometry")
endif()

# find_package, with a consumer's aggressive flags.
run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR} -B ${WORK_DIR}/found -G Ninja -DHOW=find_package
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DCMAKE_CXX_COMPILER=${CXX}
    "-DCMAKE_CXX_FLAGS=-O3 -march=native -ffp-contract=fast")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/found)
check_digest(${WORK_DIR}/found/geometry_digest "find_package, -O3 -march=native -ffp-contract=fast")

# pkg-config.
set(ENV{PKG_CONFIG_PATH} ${WORK_DIR}/prefix/lib/pkgconfig)
execute_process(COMMAND pkg-config --cflags --libs taverin-geometry RESULT_VARIABLE r OUTPUT_VARIABLE flags
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(r)
  message(FATAL_ERROR "pkg-config does not know taverin-geometry")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${CXX} -O2 ${CMAKE_CURRENT_LIST_DIR}/digest.cpp ${flags} -o ${WORK_DIR}/pkgconfig_digest)
check_digest(${WORK_DIR}/pkgconfig_digest "pkg-config")

# add_subdirectory with the scalar code only (no SSE2 paths), and FetchContent.
foreach(how subdirectory fetchcontent)
  set(simd ON)
  if(how STREQUAL "subdirectory")
    set(simd OFF)
  endif()
  run(${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR} -B ${WORK_DIR}/${how} -G Ninja -DHOW=${how}
      -DGEOMETRY_SOURCE=${geometry} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release
      -DTAVERIN_GEOMETRY_SIMD=${simd})
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/${how})
  check_digest(${WORK_DIR}/${how}/geometry_digest "${how} (TAVERIN_GEOMETRY_SIMD=${simd})")
endforeach()

# clang, with the small operations inlined at three sets of flags, and not under -ffast-math.
find_program(CLANG NAMES clang++-14 clang++)
if(CLANG)
  set(flag_sets "-O0" "-O2" "-O3 -march=native -ffp-contract=fast" "-O2 -ffast-math")
  set(inline_expected 1 1 1 0)
  foreach(flags inlined IN ZIP_LISTS flag_sets inline_expected)
    separate_arguments(options UNIX_COMMAND "${flags}")
    string(MAKE_C_IDENTIFIER "clang${flags}" name)
    run(${CLANG} -std=c++17 ${options} ${CMAKE_CURRENT_LIST_DIR}/digest.cpp -I${WORK_DIR}/prefix/include
        -L${WORK_DIR}/prefix/lib -ltaverin_geometry -o ${WORK_DIR}/${name})
    check_small(${WORK_DIR}/${name} ${inlined} "clang ${flags}")
  endforeach()
else()
  message(STATUS "no clang: its builds are not checked")
endif()
