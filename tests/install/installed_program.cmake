# cmake -DBUILD_DIR=dir -DWORK_DIR=dir -P installed_program.cmake
# Installs the build into a scratch prefix, then runs the installed program
# without a display on a four-panel sequence file: the page must come from
# the frame template in share/vantrel, and the help files must be found
# there (otherwise the start-up would try to unpack them).
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

foreach(f bin/vantrel share/vantrel/frames.ht share/vantrel/index.htm share/vantrel/schroed.pdf
          share/vantrel/vantrel-viewer.js
          share/applications/io.github.vantrel.Vantrel.desktop share/metainfo/io.github.vantrel.Vantrel.metainfo.xml
          share/icons/hicolor/scalable/apps/vantrel.svg share/icons/hicolor/48x48/apps/vantrel.png
          share/icons/hicolor/256x256/apps/vantrel.png share/man/man1/vantrel.1.gz share/doc/vantrel/copyright)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(GLOB beside_program ${prefix}/bin/*)
if(NOT beside_program STREQUAL "${prefix}/bin/vantrel")
  message(FATAL_ERROR "bin/ holds more than the program: ${beside_program}")
endif()

file(WRITE ${WORK_DIR}/four.txt "maxpoints=625 four\n1 0 0\n")
file(MAKE_DIRECTORY ${WORK_DIR}/home ${WORK_DIR}/elsewhere)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=XDG_DATA_HOME
          HOME=${WORK_DIR}/home VANTREL_HOME=${WORK_DIR}/main_vantrel VANTREL_SEED=1
          ${prefix}/bin/vantrel ${WORK_DIR}/four.txt
  WORKING_DIRECTORY ${WORK_DIR}/elsewhere
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the installed program failed (${result}):\n${output}")
endif()
if(output MATCHES "installation files|is missing")
  message(FATAL_ERROR "the installed program did not find its files:\n${output}")
endif()
file(GLOB pages ${WORK_DIR}/main_vantrel/files/*.htm)
set(found_frames FALSE)
foreach(page ${pages})
  file(READ ${page} text)
  if(text MATCHES "in four views")
    set(found_frames TRUE)
  endif()
endforeach()
if(NOT found_frames)
  message(FATAL_ERROR "no four-panel page was made from the frame template:\n${output}")
endif()
if(NOT EXISTS ${WORK_DIR}/main_vantrel/files/vantrel-viewer.js)
  message(FATAL_ERROR "the viewer script was not copied from share/vantrel into the cache:\n${output}")
endif()
if(EXISTS ${WORK_DIR}/home/.local/share/vantrel/index.htm)
  message(FATAL_ERROR "the installed program unpacked help files it already had")
endif()
# What it keeps for itself goes to the user's data folder, not the prefix.
if(EXISTS ${prefix}/share/vantrel/index.ht OR NOT EXISTS ${WORK_DIR}/home/.local/share/vantrel/index.ht)
  message(FATAL_ERROR "the index's frame set was not kept in ~/.local/share/vantrel alone")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
