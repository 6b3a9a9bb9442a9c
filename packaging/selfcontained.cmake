# cmake -DPROGRAM=path -DOUT_DIR=dir -DDATA_FILES=list -P selfcontained.cmake
# Writes OUT_DIR/vantrel: the program with the data files appended, by
# running the program under the name INSTALL from a staging directory that
# holds the files and their list "_install.lst".
set(stage ${OUT_DIR}/stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
set(list "")
foreach(f ${DATA_FILES})
  get_filename_component(name ${f} NAME)
  file(COPY ${f} DESTINATION ${stage})
  string(APPEND list "${name}\n")
endforeach()
file(WRITE ${stage}/_install.lst "${list}")
file(CREATE_LINK ${PROGRAM} ${stage}/INSTALL SYMBOLIC)
get_filename_component(program_name ${PROGRAM} NAME)
file(REMOVE ${OUT_DIR}/${program_name})
# Qt wants a private runtime directory.
set(runtime ${OUT_DIR}/runtime)
file(MAKE_DIRECTORY ${runtime})
file(CHMOD ${runtime} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# The copy is written into the temporary directory; point that here. No
# display: the messages go to the console instead of dialogs.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY TMPDIR=${OUT_DIR} XDG_RUNTIME_DIR=${runtime}
          ./INSTALL ${PROGRAM}
  WORKING_DIRECTORY ${stage}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${OUT_DIR}/${program_name})
  message(FATAL_ERROR "Building the self-contained program failed:\n${output}")
endif()
if(NOT program_name STREQUAL "vantrel")
  file(RENAME ${OUT_DIR}/${program_name} ${OUT_DIR}/vantrel)
endif()
file(REMOVE_RECURSE ${stage} ${runtime})
message(STATUS "${output}")
