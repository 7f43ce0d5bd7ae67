# The server run: the record-manager, posting and operator-script suites run a second time on
# a private PostgreSQL server (scripts/test-server), each test in a database of its own.
# ctest starts the server before the first of them and stops it after the last; they carry
# the label "server", so `ctest -LE server` leaves them (and the server) out.

# The server's folder holds its socket, whose path must fit in a socket address: a short
# name under the temporary folder, one per build tree.
set(ZELVO_TEST_SERVER_TMP /tmp)
if(DEFINED ENV{TMPDIR} AND IS_ABSOLUTE "$ENV{TMPDIR}")
  string(REGEX REPLACE "/+$" "" ZELVO_TEST_SERVER_TMP "$ENV{TMPDIR}")
endif()
string(SHA1 ZELVO_BUILD_HASH "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${ZELVO_BUILD_HASH}" 0 8 ZELVO_BUILD_HASH)
set(ZELVO_TEST_SERVER_DIR "${ZELVO_TEST_SERVER_TMP}/zelvo-pg-${ZELVO_BUILD_HASH}")
string(LENGTH "${ZELVO_TEST_SERVER_DIR}" ZELVO_TEST_SERVER_DIR_LENGTH)
if(ZELVO_TEST_SERVER_DIR_LENGTH GREATER 90)
  set(ZELVO_TEST_SERVER_DIR "/tmp/zelvo-pg-${ZELVO_BUILD_HASH}")
endif()
set(ZELVO_TEST_SERVER_URI "postgresql://zelvo@/postgres?host=${ZELVO_TEST_SERVER_DIR}")

add_test(NAME server.start COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-server start
                                   ${ZELVO_TEST_SERVER_DIR})
add_test(NAME server.stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/test-server stop
                                  ${ZELVO_TEST_SERVER_DIR})
set_tests_properties(server.start PROPERTIES FIXTURES_SETUP zelvo_server LABELS server TIMEOUT 180)
set_tests_properties(server.stop PROPERTIES FIXTURES_CLEANUP zelvo_server LABELS server TIMEOUT 120)

# zelvo_on_server(TARGET): every test of that GoogleTest executable again, named
# "server.<suite>.<test>", on the server.
# zelvo_on_server(NAME COMMAND command...): one more test "server.NAME" running the command on
# the server.
# LABELS adds labels to "server" (engine: the ASan preset runs them too).
function(zelvo_on_server name)
  cmake_parse_arguments(ARG "" "" "COMMAND;LABELS" ${ARGN})
  set(environment "${ZELVO_TEST_ENVIRONMENT};ZELVO_TEST_SERVER=${ZELVO_TEST_SERVER_URI}")
  if(ARG_COMMAND)
    add_test(NAME server.${name} COMMAND ${ARG_COMMAND})
    set_tests_properties(server.${name} PROPERTIES
      ENVIRONMENT "${environment}" FIXTURES_REQUIRED zelvo_server LABELS server)
  else()
    zelvo_discover_tests(${name} PREFIX server. ENVIRONMENT "${environment}"
                         FIXTURES_REQUIRED zelvo_server LABELS server ${ARG_LABELS})
  endif()
endfunction()
