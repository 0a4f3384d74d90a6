# Runs rulecheck once and compares its exit code, standard output and standard
# error byte for byte with the expected files.
#   -DPROGRAM=exe -DEMULATOR=runner (may be empty) -DWORKDIR=dir -DARGS=a^^b^^...
#   -DEXIT=code -DSTDOUT=file -DSTDERR=file (empty: nothing expected)
#   -DOUTDIR=dir -DNAME=case
#   -DCP936_STDOUT=ON/OFF -DCP936_STDERR=ON/OFF: the expected file is UTF-8 and the
#   program writes code page 936 there (the Windows console), so convert it first.
set(actualOut ${OUTDIR}/${NAME}.stdout)
set(actualErr ${OUTDIR}/${NAME}.stderr)
file(MAKE_DIRECTORY ${OUTDIR})
string(REPLACE "^^" ";" ARGS "${ARGS}")
execute_process(
  COMMAND ${EMULATOR} ${PROGRAM} ${ARGS}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_FILE ${actualOut}
  ERROR_FILE ${actualErr}
  RESULT_VARIABLE rc)

function(expected_bytes source convert result)
  set(target ${OUTDIR}/${NAME}.${result})
  if(source STREQUAL "")
    file(WRITE ${target} "")
  elseif(convert)
    execute_process(COMMAND iconv -f UTF-8 -t CP936 ${source} OUTPUT_FILE ${target}
                    RESULT_VARIABLE iconvRc)
    if(NOT iconvRc EQUAL 0)
      message(FATAL_ERROR "cannot convert ${source} to code page 936")
    endif()
  else()
    configure_file(${source} ${target} COPYONLY)
  endif()
  set(${result} ${target} PARENT_SCOPE)
endfunction()

expected_bytes("${STDOUT}" ${CP936_STDOUT} expectedOut)
expected_bytes("${STDERR}" ${CP936_STDERR} expectedErr)

set(failures "")
if(NOT rc STREQUAL EXIT)
  string(APPEND failures "exit code ${rc}, expected ${EXIT}\n")
endif()
foreach(stream Out Err)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected${stream}} ${actual${stream}}
                  RESULT_VARIABLE differs)
  if(differs)
    execute_process(COMMAND diff -u --text ${expected${stream}} ${actual${stream}}
                    OUTPUT_VARIABLE diff)
    string(APPEND failures "standard ${stream} differs:\n${diff}\n")
  endif()
endforeach()
if(NOT failures STREQUAL "")
  message(FATAL_ERROR "${NAME}:\n${failures}")
endif()
