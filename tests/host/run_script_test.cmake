# Runs one host script in a fresh work folder (its own KESTROVA_HOME and local panel folder) and
# compares the transcript with the expected one. The work folder's path reads as $WORK, the
# product version as $VERSION, and a non-zero exit code is appended as "[exit N]". A NAME.server
# file beside the script runs it against the fixture news server started with those arguments
# (run_with_news_server.py). A run that takes more than SCRIPT_TIME_LIMIT seconds is stopped and
# fails, however the host hangs.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/home ${WORK}/local)
string(REGEX REPLACE "\\.script$" ".server" server_file ${SCRIPT})
# The server's runner stops the host at the limit itself, then stops the server; the limit here
# is the last resort.
math(EXPR process_limit "${SCRIPT_TIME_LIMIT} + 15")
set(with_server)
if(EXISTS ${server_file})
  find_program(PYTHON3 python3 REQUIRED)
  set(with_server ${CMAKE_COMMAND} -E env KESTROVA_TIME_LIMIT=${SCRIPT_TIME_LIMIT}
                  ${PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/run_with_news_server.py ${server_file}
                  ${WORK}/server.log --)
endif()
execute_process(
  COMMAND ${with_server} ${CMAKE_COMMAND} -E env KESTROVA_HOME=${WORK}/home KESTROVA_MODULE=${MODULE} KESTROVA_LANG=eng
          WORK=${WORK} ${HOST} --script ${SCRIPT}
  WORKING_DIRECTORY ${WORK}/local
  OUTPUT_VARIABLE actual
  RESULT_VARIABLE code
  TIMEOUT ${process_limit})
string(REPLACE "${WORK}" "$WORK" actual "${actual}")
# The product version (X-Mailer, the information lines) is the project's; it reads as $VERSION.
string(REPLACE "plugin version ${VERSION}" "plugin version $VERSION" actual "${actual}")
# File dates and times shown in dialogs are those of the run; they read as <date> <time>.
string(REGEX REPLACE "[0-9]+[/.-][0-9]+[/.-][0-9]+ [0-9]+:[0-9]+:[0-9]+" "<date> <time>" actual
       "${actual}")
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
