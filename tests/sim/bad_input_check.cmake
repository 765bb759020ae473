# A table of bad command lines and bad files: each must be refused with exit status 2 and a
# message on standard error that names the file (and line) and what is wrong.
#   SIM, WORKDIR, SCENARIOS, LIVE (whether velorin-sim has its window)
set(w ${WORKDIR}/bad-input)
file(REMOVE_RECURSE ${w})
file(MAKE_DIRECTORY ${w}/a-directory)
file(WRITE ${w}/ok.scn "1s expect running\n")
file(WRITE ${w}/unknown_command.scn "0 plug\n1s fly away\n")
file(WRITE ${w}/bad_time.scn "0 plug\nsoon tap 1 2\n")
file(WRITE ${w}/bad_reg_line.scn "0 plug\n\n1s reg set HKXX\\Software x dword:1\n")
file(WRITE ${w}/bad.reg "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software]\n\"v\"=dword:zz\n")
file(WRITE ${w}/not-a-reg.reg "hello\n")
file(WRITE ${w}/plain-file "x")
file(WRITE ${w}/power_lines.scn "0 reg delete HKCU\\Software\\Nothing\n1s percent 40\n")

set(failures "")
# `regex` against standard error; the rest is the command.
function(expect_refused regex)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 2)
    set(failures "${failures}\n  ${ARGN}: exit status ${status}, not 2: ${err}" PARENT_SCOPE)
  elseif(NOT err MATCHES "${regex}")
    set(failures "${failures}\n  ${ARGN}: standard error does not match '${regex}':\n${err}" PARENT_SCOPE)
  endif()
endfunction()
macro(expect_bad regex)
  expect_refused("${regex}" ${SIM} ${ARGN})
endmacro()

# Command lines.
expect_bad("not expected: --bogus" --bogus)
expect_bad("not expected: stray" stray)
expect_bad("--scenario: File does not exist: ${w}/missing.scn" --scenario ${w}/missing.scn)
expect_bad("--scenario: .*directory: ${w}/a-directory" --scenario ${w}/a-directory)
expect_bad("--seed = abc" --scenario ${w}/ok.scn --seed abc)
expect_bad("--until: time 'soon' is not a time" --scenario ${w}/ok.scn --until soon)
expect_bad("--screen: '5x5': each side must be 16 to 4096" --scenario ${w}/ok.scn --screen 5x5)
expect_bad("--screen: 'wide' is not WIDTHxHEIGHT" --scenario ${w}/ok.scn --screen wide)
expect_bad("--trace: .*some" --scenario ${w}/ok.scn --trace=some)
# The machine's charger: wall time only, its folder a folder, and no battery lines besides it.
expect_bad("--power host runs in wall time only: add --realtime or --window" --scenario ${w}/ok.scn --power host)
expect_bad("--power: .*battery" --scenario ${w}/ok.scn --realtime --power battery)
expect_bad("--power-root is read only with --power host" --scenario ${w}/ok.scn --realtime --power-root ${w}/a-directory)
expect_bad("--power-root: ${w}/plain-file is not a folder"
           --scenario ${w}/ok.scn --realtime --power host --power-root ${w}/plain-file)
expect_bad("power_lines.scn:2: percent: the machine's own charger drives the battery in this run [(]--power host[)]"
           --scenario ${w}/power_lines.scn --realtime --power host --power-root ${w}/a-directory)
# Scenario files: the file, the line and what is wrong.
expect_bad("bad_line.scn:3: " --scenario ${SCENARIOS}/bad_line.scn)
expect_bad("unknown_command.scn:2: .*fly" --scenario ${w}/unknown_command.scn)
expect_bad("bad_time.scn:2: .*soon" --scenario ${w}/bad_time.scn)
expect_bad("bad_reg_line.scn:3: .*HKXX" --scenario ${w}/bad_reg_line.scn)
# Registry files.
expect_bad("bad.reg:4: " --scenario ${w}/ok.scn --registry ${w}/bad.reg)
expect_bad("not-a-reg.reg:1: .*header" --scenario ${w}/ok.scn --registry ${w}/not-a-reg.reg)
expect_bad("a-directory: is a directory, not a .reg file" --scenario ${w}/ok.scn --registry ${w}/a-directory)
expect_bad("${w}/nowhere/x.reg: cannot write the registry there: there is no directory ${w}/nowhere"
           --scenario ${w}/ok.scn --registry ${w}/nowhere/x.reg)
# Where the run's files go.
expect_bad("${w}/nowhere/t.txt: cannot write the trace there: No such file or directory"
           --scenario ${w}/ok.scn --trace-file ${w}/nowhere/t.txt)
expect_bad("${w}/nowhere/x.gif: cannot write the GIF there: No such file or directory"
           --scenario ${w}/ok.scn --gif ${w}/nowhere/x.gif)
expect_bad("${w}/nowhere/x.png: cannot write the contact sheet there: there is no directory"
           --scenario ${w}/ok.scn --sheet ${w}/nowhere/x.png)
expect_bad("${w}/a-directory: cannot write the contact sheet there: it is a directory"
           --scenario ${w}/ok.scn --sheet ${w}/a-directory)
expect_bad("${w}/plain-file/frames: cannot create the frames directory"
           --scenario ${w}/ok.scn --frames ${w}/plain-file/frames)
# A device node is never replaced or removed.
expect_bad("/dev/null: cannot write the contact sheet there: it is not a regular file" --scenario ${w}/ok.scn --sheet /dev/null)
# Times past the device's last moment, and keys deeper than CE nests them.
file(WRITE ${w}/late.scn "9223372036854775807ms expect running\n")
expect_bad("late.scn:1: time '9223372036854775807ms' is past the device's last moment" --scenario ${w}/late.scn)
file(WRITE ${w}/deep.reg "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q]\n")
expect_bad("deep.reg:3: the key .* is 17 levels deep" --scenario ${w}/ok.scn --registry ${w}/deep.reg)
# A hive that is a fifo would hang the boot's read: refused before the run.
execute_process(COMMAND mkfifo ${w}/fifo.reg RESULT_VARIABLE made)
if(made EQUAL 0)
  expect_bad("fifo.reg: cannot write the registry there: it is not a regular file" --scenario ${w}/ok.scn --registry ${w}/fifo.reg)
endif()
# Two options naming one file, by name, hard link or symlink: refused before anything is written.
file(WRITE ${w}/s.scn "1s expect running\n")
file(WRITE ${w}/r.reg "Windows Registry Editor Version 5.00\n")
file(CREATE_LINK ${w}/s.scn ${w}/hard.scn)
file(CREATE_LINK ${w}/later.gif ${w}/to-later.gif SYMBOLIC)
set(clash "are the same file")
expect_bad("--scenario ${w}/s.scn and --trace-file ${w}/s.scn ${clash}" --scenario ${w}/s.scn --trace-file ${w}/s.scn)
expect_bad("--registry ${w}/r.reg and --trace-file ${w}/r.reg ${clash}" --scenario ${w}/ok.scn --registry ${w}/r.reg --trace-file ${w}/r.reg)
expect_bad("--registry ${w}/x.gif and --gif ${w}/x.gif ${clash}" --scenario ${w}/ok.scn --registry ${w}/x.gif --gif ${w}/x.gif)
expect_bad("--registry ${w}/x.png and --sheet ${w}/x.png ${clash}" --scenario ${w}/ok.scn --registry ${w}/x.png --sheet ${w}/x.png)
expect_bad("--gif ${w}/p and --sheet ${w}/p ${clash}" --scenario ${w}/ok.scn --gif ${w}/p --sheet ${w}/p)
expect_bad("--scenario ${w}/s.scn and --gif ${w}/hard.scn ${clash}" --scenario ${w}/s.scn --gif ${w}/hard.scn)
expect_bad("--trace-file ${w}/to-later.gif and --gif ${w}/later.gif ${clash}"
           --scenario ${w}/ok.scn --trace-file ${w}/to-later.gif --gif ${w}/later.gif)
file(MAKE_DIRECTORY ${w}/out)
expect_refused("--registry out/trace.txt and the demo's trace out/trace.txt ${clash}"
               ${CMAKE_COMMAND} -E chdir ${w} ${SIM} --registry out/trace.txt)
file(READ ${w}/s.scn scenario_left)
file(READ ${w}/r.reg registry_left)
if(NOT scenario_left STREQUAL "1s expect running\n" OR NOT registry_left STREQUAL "Windows Registry Editor Version 5.00\n"
   OR EXISTS ${w}/x.gif OR EXISTS ${w}/x.png OR EXISTS ${w}/p OR EXISTS ${w}/later.gif OR EXISTS ${w}/out/trace.txt)
  set(failures "${failures}\n  a refused clash still wrote a file")
endif()
# A trace that cannot be written is an error, and not reported as written.
if(EXISTS /dev/full)
  execute_process(COMMAND ${SIM} --scenario ${w}/ok.scn --trace-file /dev/full RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 2 OR NOT err MATCHES "/dev/full: cannot write the trace there: No space left" OR err MATCHES "trace in")
    set(failures "${failures}\n  --trace-file /dev/full: status ${status}: ${err}")
  endif()
endif()
# The live window without a way to show it.
if(LIVE)
  expect_refused("--window: cannot start SDL" ${CMAKE_COMMAND} -E env SDL_VIDEODRIVER=no-such-driver ${SIM} --window)
  expect_refused("--window: no display to show the window on"
                 ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=SDL_VIDEODRIVER
                 ${SIM} --window --scenario ${w}/ok.scn --until 2s)
else()
  expect_bad("--window: .*without SDL2" --window)
endif()

if(NOT failures STREQUAL "")
  message(FATAL_ERROR "bad input not refused as it should be:${failures}")
endif()
