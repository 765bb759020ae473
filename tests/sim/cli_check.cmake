# Runs velorin-sim as a person would and checks its exit status and what it says.
#   SIM, STATUS; optional SCENARIO, SEED, STDERR_REGEX; MODE=determinism runs twice with a
#   trace file each time and requires identical files.
set(args)
if(DEFINED SCENARIO)
  list(APPEND args --scenario ${SCENARIO})
endif()
if(DEFINED SEED)
  list(APPEND args --seed ${SEED})
endif()

if(MODE STREQUAL "determinism")
  foreach(run a b)
    execute_process(COMMAND ${SIM} ${args} --trace=all --trace-file ${WORKDIR}/trace-${run}.txt
                    RESULT_VARIABLE status ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "run ${run} ended with status ${status}: ${err}")
    endif()
  endforeach()
  file(READ ${WORKDIR}/trace-a.txt first)
  file(READ ${WORKDIR}/trace-b.txt second)
  if(first STREQUAL "" OR NOT first STREQUAL second)
    message(FATAL_ERROR "two runs with the same scenario and seed wrote different traces")
  endif()
  return()
endif()

execute_process(COMMAND ${SIM} ${args} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}, got ${status}\nstdout: ${out}\nstderr: ${err}")
endif()
if(DEFINED STDERR_REGEX AND NOT err MATCHES "${STDERR_REGEX}")
  message(FATAL_ERROR "standard error does not match '${STDERR_REGEX}':\n${err}")
endif()
