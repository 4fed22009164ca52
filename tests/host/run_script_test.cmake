# Runs one host script in a fresh work folder (its own KESTROVA_HOME and local panel folder) and
# compares the transcript with the expected one. The work folder's path reads as $WORK, and a
# non-zero exit code is appended as "[exit N]".
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/home ${WORK}/local)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env KESTROVA_HOME=${WORK}/home KESTROVA_MODULE=${MODULE} KESTROVA_LANG=eng
          WORK=${WORK} ${HOST} --script ${SCRIPT}
  WORKING_DIRECTORY ${WORK}/local
  OUTPUT_VARIABLE actual
  RESULT_VARIABLE code)
string(REPLACE "${WORK}" "$WORK" actual "${actual}")
if(NOT code EQUAL 0)
  string(APPEND actual "[exit ${code}]\n")
endif()
file(WRITE ${WORK}/actual.txt "${actual}")
if(NOT EXISTS ${EXPECTED})
  message(FATAL_ERROR "no expected transcript ${EXPECTED}; this run wrote ${WORK}/actual.txt")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  execute_process(COMMAND diff -u ${EXPECTED} ${WORK}/actual.txt)
  message(FATAL_ERROR "the transcript differs from ${EXPECTED}")
endif()
