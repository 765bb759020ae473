# Runs velorin-sim with --frames in WORKDIR and checks its exit status, what it says and the
# pictures it leaves: SIM, SCENARIO, STATUS, WORKDIR; optional STDERR_REGEX, SNAPSHOT (a file
# that must exist afterwards).
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(COMMAND ${SIM} --scenario ${SCENARIO} --frames frames WORKING_DIRECTORY ${WORKDIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}, got ${status}\nstdout: ${out}\nstderr: ${err}")
endif()
if(DEFINED STDERR_REGEX AND NOT err MATCHES "${STDERR_REGEX}")
  message(FATAL_ERROR "standard error does not match '${STDERR_REGEX}':\n${err}")
endif()
file(GLOB frames ${WORKDIR}/frames/frame-*.png)
if(NOT frames)
  message(FATAL_ERROR "no frames in ${WORKDIR}/frames")
endif()
if(DEFINED SNAPSHOT AND NOT EXISTS ${WORKDIR}/${SNAPSHOT})
  message(FATAL_ERROR "no snapshot ${WORKDIR}/${SNAPSHOT}")
endif()
