# Runs the default-data generator into OUT and checks that it made exactly
# the files EXPECTED (paths relative to OUT), each identical byte for byte to
# its copy under REFERENCE.
#   cmake -DGENERATOR=... -DOUT=... -DREFERENCE=... -DEXPECTED="a;b" -P CompareWithShipped.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${GENERATOR} ${OUT}
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "generator failed (${result}): ${errors}")
endif()

file(GLOB_RECURSE made RELATIVE ${OUT} ${OUT}/*)
list(SORT made)
set(expected ${EXPECTED})
list(SORT expected)
if(NOT made STREQUAL expected)
  message(FATAL_ERROR "generator made [${made}], expected [${expected}]")
endif()

set(differing "")
foreach(name IN LISTS made)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${REFERENCE}/${name}
    RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND differing ${name})
  endif()
endforeach()
if(differing)
  message(FATAL_ERROR "differ from ${REFERENCE}: ${differing}")
endif()
message(STATUS "${OUT}: ${made} identical to ${REFERENCE}")
