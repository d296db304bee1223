# One script of the conformance suite (see CMakeLists.txt): compiles it
# with kolm-compile from the suite's folder, so diagnostics name it by its
# path there, and either runs the image with halvane-kdb or compares the
# diagnostics with the expected ones.
foreach(var COMPILER KDB BSP SUITE WORK MODE SCRIPT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

get_filename_component(name ${SCRIPT} NAME_WE)
if(MODE STREQUAL "fail")
  set(LEVEL 0)
endif()
set(image ${WORK}/${MODE}-${name}-O${LEVEL}.kcs)
file(REMOVE ${image})

execute_process(
  COMMAND ${COMPILER} -O${LEVEL} --bsp ${BSP} -I include -o ${image} ${SCRIPT}
  WORKING_DIRECTORY ${SUITE}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  TIMEOUT 30)

# The compiler's diagnostics, without the note that a system lacks the
# locale of the date and time macros.
string(REGEX REPLACE "locale [^\n]* unavailable[^\n]*\n" "" diagnostics "${err}")

if(MODE STREQUAL "fail")
  file(READ ${SUITE}/fail/${name}.expected expected)
  if(NOT status EQUAL 1 OR NOT diagnostics STREQUAL expected)
    message(FATAL_ERROR "kolm-compile -O${LEVEL} ${SCRIPT}: status ${status}\n"
                        "--- diagnostics\n${diagnostics}--- expected\n${expected}")
  endif()
  return()
endif()

if(NOT status EQUAL 0)
  message(FATAL_ERROR "kolm-compile -O${LEVEL} ${SCRIPT} failed (${status}):\n${err}")
endif()
execute_process(
  COMMAND ${KDB} ${image}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  TIMEOUT 30)
if(NOT status EQUAL 0 OR NOT err MATCHES "Return value: 0\n$")
  message(FATAL_ERROR "halvane-kdb ${SCRIPT} at level ${LEVEL} (status ${status}):\n${out}${err}")
endif()
