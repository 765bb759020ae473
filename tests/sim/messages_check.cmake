# What velorin-sim says to a person: its version, its help, what it did not expect, a tap off the
# screen, and the trace on standard output.
#   SIM, WORKDIR
set(w ${WORKDIR}/messages)
file(REMOVE_RECURSE ${w})
file(MAKE_DIRECTORY ${w})
set(failures "")

# `regex` against standard output, then standard error; the rest is the command line.
function(expect status out_regex err_regex)
  execute_process(COMMAND ${SIM} ${ARGN} RESULT_VARIABLE actual OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT actual EQUAL status OR NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    set(failures "${failures}\n  ${ARGN}: status ${actual} (not ${status})\n  stdout: ${out}\n  stderr: ${err}"
        PARENT_SCOPE)
  endif()
endfunction()

expect(0 "^velorin-sim [0-9]+\\.[0-9]+\\.[0-9]+\n$" "^$" --version)
expect(2 "^$" "not expected: --scen x\n" --scen x)
file(WRITE ${w}/ok.scn "1s expect running\n")
expect(0 "0 launch pid=1\n" "" --scenario ${w}/ok.scn --trace-file -)
# The logical screen follows the rotation: 240x320, then 320x240.
file(WRITE ${w}/taps.scn "1s tap 239 319\n2s tap 240 0\n3s rotate 90\n4s tap 300 200\n5s tap 300 240\n")
expect(1 "" "taps.scn:2: tap 240 0 failed: the point is outside the 240x320 screen\n.*taps.scn:5: tap 300 240 failed: the point is outside the 320x240 screen\n.*, 2 commands failed"
       --scenario ${w}/taps.scn)

execute_process(COMMAND ${SIM} --help OUTPUT_VARIABLE help)
# Semicolons would split CMake's list; commas are as wide.
string(REPLACE ";" "," help "${help}")
string(REPLACE "\n" ";" lines "${help}")
foreach(line IN LISTS lines)
  string(LENGTH "${line}" length)
  if(length GREATER 100)
    set(failures "${failures}\n  a help line of ${length} columns: ${line}")
  endif()
endforeach()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "velorin-sim said the wrong thing:${failures}")
endif()
