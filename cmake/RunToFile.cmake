# cmake -DCOMMAND=<program;args...> -DOUTPUT=<file> [-DINPUT=<file>] -P RunToFile.cmake
# Runs COMMAND with INPUT as its standard input and writes its standard output to OUTPUT, for
# build steps that filter or print (scdoc, gzip, orvane-cli --completion). A command that fails
# leaves no OUTPUT, so that the build stops and tries again next time.
if(INPUT)
  set(input INPUT_FILE ${INPUT})
endif()
execute_process(COMMAND ${COMMAND} ${input} OUTPUT_FILE ${OUTPUT}.part RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "${COMMAND} failed: ${result}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
