# kestrova --import-settings then --export-settings in a fresh KESTROVA_HOME gives the imported
# file back; a malformed file is refused with a non-zero exit and an error naming its line.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -E env KESTROVA_HOME=${WORK}/home ${HOST} --import-settings ${INPUT}
                RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "import failed with ${code}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env KESTROVA_HOME=${WORK}/home ${HOST} --export-settings ${WORK}/out.reg
                RESULT_VARIABLE code)
file(READ ${INPUT} expected)
file(READ ${WORK}/out.reg actual)
string(REPLACE "\r\n" "\n" actual "${actual}")
string(STRIP "${actual}" actual)
string(STRIP "${expected}" expected)
if(NOT code EQUAL 0 OR NOT actual STREQUAL expected)
  message(FATAL_ERROR "export (exit ${code}) differs from the import:\n${actual}")
endif()
file(WRITE ${WORK}/bad.reg "REGEDIT4\n\nnot a line\n")
execute_process(COMMAND ${CMAKE_COMMAND} -E env KESTROVA_HOME=${WORK}/home ${HOST} --import-settings ${WORK}/bad.reg
                RESULT_VARIABLE code ERROR_VARIABLE error)
if(code EQUAL 0 OR NOT error MATCHES "bad.reg: line 3")
  message(FATAL_ERROR "a malformed file was not refused (exit ${code}): ${error}")
endif()
