# cmake -DBUILD_DIR=dir -DWORK_DIR=dir -P selfcontained_program.cmake
# Builds the self-contained program, copies it alone into a scratch folder
# and runs it there without a display from another directory: it must
# unpack its files beside itself (where the Help menu looks), and use the
# unpacked frame template for a four-panel page. A second run finds the
# files and unpacks nothing.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target selfcontained
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building the self-contained program failed:\n${output}")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/apps ${WORK_DIR}/home ${WORK_DIR}/elsewhere)
file(COPY ${BUILD_DIR}/selfcontained/vantrel DESTINATION ${WORK_DIR}/apps)
file(WRITE ${WORK_DIR}/four.txt "maxpoints=625 four\n1 0 0\n")

function(run_program out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=XDG_DATA_HOME
            HOME=${WORK_DIR}/home VANTREL_HOME=${WORK_DIR}/main_vantrel VANTREL_SEED=1
            ${WORK_DIR}/apps/vantrel ${WORK_DIR}/four.txt
    WORKING_DIRECTORY ${WORK_DIR}/elsewhere
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the self-contained program failed (${result}):\n${output}")
  endif()
  set(${out} "${output}" PARENT_SCOPE)
endfunction()

run_program(first)
if(NOT first MATCHES "The following files will be installed:")
  message(FATAL_ERROR "the first run did not unpack the help files:\n${first}")
endif()
foreach(f index.htm schroed.pdf frames.ht)
  if(NOT EXISTS ${WORK_DIR}/apps/${f})
    message(FATAL_ERROR "${f} was not unpacked beside the program:\n${first}")
  endif()
endforeach()
file(SHA256 ${WORK_DIR}/apps/schroed.pdf unpacked)
file(GLOB source_pdf ${BUILD_DIR}/schroed.pdf)
file(SHA256 ${source_pdf} original)
if(NOT unpacked STREQUAL original)
  message(FATAL_ERROR "the unpacked schroed.pdf differs from the one built in")
endif()
file(READ ${WORK_DIR}/main_vantrel/files/1_0_0_.htm page)
if(NOT page MATCHES "in four views")
  message(FATAL_ERROR "the four-panel page was not made from the unpacked frame template:\n${first}")
endif()

run_program(second)
if(second MATCHES "installation files|will be installed")
  message(FATAL_ERROR "the second run did not find the unpacked files:\n${second}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
