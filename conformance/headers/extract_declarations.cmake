# Reads the declarations out of a Win32 object file (cmake -P, with OBJCOPY, OBJDUMP, OBJECT and
# OUTPUT): the Windows side is never run, so a value that the compiler could not place in the
# object's data (it would be set by start-up code instead, and read here as zero) must stop the
# build.
execute_process(COMMAND ${OBJDUMP} -h ${OBJECT} OUTPUT_VARIABLE sections RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -h ${OBJECT} failed")
endif()
if(sections MATCHES "[ \t](\\.ctors|\\.init_array|\\.CRT\\$XC)")
  message(FATAL_ERROR "${OBJECT}: some declarations are initialised at run time, which this build cannot read")
endif()
if(NOT sections MATCHES "[ \t]\\.vdecl[ \t]")
  message(FATAL_ERROR "${OBJECT}: no .vdecl section")
endif()
execute_process(COMMAND ${OBJCOPY} -O binary --only-section=.vdecl ${OBJECT} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJCOPY} could not read .vdecl from ${OBJECT}")
endif()
