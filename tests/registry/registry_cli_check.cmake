# Runs velorin-sim on registry scenarios.
#   SIM, SCENARIO, STATUS; optional REGISTRY (--registry) and STDERR_REGEX: one run, whose exit
#   status and standard error are checked.
#   MODE=persist with WRITE, READ and REGISTRY: REGISTRY is removed; WRITE runs and must make it
#   from the default hive; READ runs and must find WRITE's changes in it, and, changing nothing,
#   must leave the file byte for byte as it was.

function(run_sim scenario status out_err)
  set(args --scenario ${scenario})
  if(DEFINED REGISTRY)
    list(APPEND args --registry ${REGISTRY})
  endif()
  execute_process(COMMAND ${SIM} ${args} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL status)
    message(FATAL_ERROR "${scenario}: expected exit status ${status}, got ${result}\nstdout: ${out}\nstderr: ${err}")
  endif()
  set(${out_err} "${err}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "persist")
  file(REMOVE ${REGISTRY})
  run_sim(${WRITE} 0 err)
  if(NOT EXISTS ${REGISTRY})
    message(FATAL_ERROR "the first run did not make ${REGISTRY}")
  endif()
  file(READ ${REGISTRY} written)
  string(FIND "${written}" "Windows Registry Editor Version 5.00" header)
  if(NOT header EQUAL 0)
    message(FATAL_ERROR "${REGISTRY} is not a version 5.00 .reg file:\n${written}")
  endif()
  # Hashes compare the bytes; file(READ) would drop the carriage returns.
  file(SHA256 ${REGISTRY} written)
  run_sim(${READ} 0 err)
  file(SHA256 ${REGISTRY} rewritten)
  if(NOT written STREQUAL rewritten)
    message(FATAL_ERROR "a run that changed nothing rewrote ${REGISTRY} differently")
  endif()
  return()
endif()

run_sim(${SCENARIO} ${STATUS} err)
if(DEFINED STDERR_REGEX AND NOT err MATCHES "${STDERR_REGEX}")
  message(FATAL_ERROR "standard error does not match '${STDERR_REGEX}':\n${err}")
endif()
