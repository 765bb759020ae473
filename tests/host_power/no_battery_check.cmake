# --power host on an empty power-supply folder: said once, the scenario runs as written.
#   SIM, WORKDIR
set(w ${WORKDIR}/no-battery)
file(REMOVE_RECURSE ${w})
file(MAKE_DIRECTORY ${w}/supplies)
file(WRITE ${w}/short.scn "500ms expect running\n+0ms expect window hidden\n1s end\n")
execute_process(COMMAND ${SIM} --realtime --power host --power-root ${w}/supplies --scenario ${w}/short.scn
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "expected exit status 0, got ${status}\nstderr: ${err}")
endif()
set(note "velorin-sim: --power host: no battery in ${w}/supplies; the device stays on its scenario and keys\n")
string(FIND "${err}" "${note}" first)
string(FIND "${err}" "${note}" last REVERSE)
if(first EQUAL -1 OR NOT first EQUAL last)
  message(FATAL_ERROR "standard error does not say once that there is no battery:\n${err}")
endif()
