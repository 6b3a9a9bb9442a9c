# Runs a seeded sequence file headless and compares what it wrote with the
# reference: every file listed in NAME.sha256 byte for byte, the console
# output and names.htm with the main directory, the sequence file's path
# and the dates replaced by MAINDIR, SEQUENCE and DATE. Pages that name
# the main directory are hashed as if it were that of the reference run.
# -DEXE= -DDATA_DIR= -DSEQUENCE= -DSEED= -DNAME= -DGOLDEN_DIR= -DWORK_DIR=
file(REMOVE_RECURSE "${WORK_DIR}")
# A copy of the program with its data files and a data folder of the run's
# own: the index template kept there names the first main directory it saw.
file(GLOB data "${DATA_DIR}/*")
file(COPY "${EXE}" ${data} DESTINATION "${WORK_DIR}/program")
get_filename_component(exeName "${EXE}" NAME)
set(EXE "${WORK_DIR}/program/${exeName}")
set(home "${WORK_DIR}/vantrel")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen VANTREL_HOME=${home} VANTREL_SEED=${SEED}
          XDG_DATA_HOME=${WORK_DIR}/data
          "${EXE}" "${SEQUENCE}"
  OUTPUT_VARIABLE console ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "The run ended with ${rc}:\n${console}\n${errors}")
endif()

set(failures "")
file(STRINGS "${GOLDEN_DIR}/${NAME}.sha256" lines)
foreach(line ${lines})
  string(REGEX MATCH "^([0-9a-f]+)  (.+)$" _ "${line}")
  set(want "${CMAKE_MATCH_1}")
  set(name "${CMAKE_MATCH_2}")
  set(file "${home}/files/${name}")
  # Scripts copied from the data folder must equal their source, whatever it holds now.
  if(name MATCHES "\\.js$" AND EXISTS "${DATA_DIR}/${name}")
    file(SHA256 "${DATA_DIR}/${name}" want)
  endif()
  if(NOT EXISTS "${file}")
    string(APPEND failures "missing: ${name}\n")
    continue()
  endif()
  if(file MATCHES "\\.htm$")
    # sed, not file(READ): CMake would drop the carriage returns.
    execute_process(COMMAND sed "s#${home}#/tmp/golden/vantrel#g" "${file}" OUTPUT_FILE "${WORK_DIR}/page")
    file(SHA256 "${WORK_DIR}/page" got)
  else()
    file(SHA256 "${file}" got)
  endif()
  if(NOT got STREQUAL want)
    string(APPEND failures "differs: ${name}\n")
  endif()
endforeach()

function(normalise text out)
  string(REPLACE "${SEQUENCE}" "SEQUENCE" text "${text}")
  string(REPLACE "${home}" "MAINDIR" text "${text}")
  string(REGEX REPLACE "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]" "DATE"
         text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

normalise("${console}" console)
file(READ "${GOLDEN_DIR}/${NAME}.console.txt" want)
if(NOT console STREQUAL want)
  string(APPEND failures "console output differs:\n${console}\n")
endif()
file(READ "${home}/files/names.htm" names)
normalise("${names}" names)
file(READ "${GOLDEN_DIR}/${NAME}.names.htm" want)
if(NOT names STREQUAL want)
  string(APPEND failures "names.htm differs:\n${names}\n")
endif()

if(failures)
  message(FATAL_ERROR "${NAME} is not what it was:\n${failures}")
endif()
list(LENGTH lines count)
message(STATUS "${NAME}: ${count} files, the console output and names.htm as before")
