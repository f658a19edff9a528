# Takes SOURCE (the project), WORK (a folder to build in) and CXX (the compiler).
# 1. A plain configure, as a user types it, on a machine without Google Benchmark: it succeeds and says
#    that the benchmarks are skipped.
# 2. korvane-solve alone (no window, no tests) where no Qt can be found: configured, built and run.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}\n${err}")
  endif()
  set(output "${out}${err}" PARENT_SCOPE)
endfunction()

run("the plain configure without Google Benchmark"
    ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/plain -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON)
if(NOT output MATCHES "korvane-bench is skipped")
  message(FATAL_ERROR "the configure without Google Benchmark does not say that the benchmarks are skipped:\n${output}")
endif()

# Qt disabled: any find_package(Qt6 ... REQUIRED) on the way is an error.
run("the configure of korvane-solve without Qt"
    ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/solve-only -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Debug
    -DKORVANE_BUILD_UI=OFF -DBUILD_TESTING=OFF -DKORVANE_BUILD_BENCH=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON)
run("the build of korvane-solve without Qt" ${CMAKE_COMMAND} --build ${WORK}/solve-only --target korvane-solve)
run("korvane-solve --version" ${WORK}/solve-only/cli/korvane-solve --version)
if(NOT output MATCHES "^korvane-solve [0-9]")
  message(FATAL_ERROR "korvane-solve --version says: ${output}")
endif()
