# Runs the example generator into a fresh folder and checks that it writes exactly the committed .e65
# files, byte for byte. Takes GENERATOR, EXPECTED (the examples folder) and OUT.
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND "${GENERATOR}" "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "korvane-make-examples failed: ${result}")
endif()

file(GLOB written RELATIVE "${OUT}" "${OUT}/*.e65")
file(GLOB committed RELATIVE "${EXPECTED}" "${EXPECTED}/*.e65")
list(SORT written)
list(SORT committed)
if(NOT written STREQUAL committed)
  message(FATAL_ERROR "the generator writes [${written}], the examples folder holds [${committed}]")
endif()
foreach(name IN LISTS written)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT}/${name}" "${EXPECTED}/${name}"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${name} differs from what the generator writes; run korvane-make-examples examples")
  endif()
endforeach()
