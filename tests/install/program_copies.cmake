# cmake -DKIND=Installed|SelfContained -DBUILD_DIR=dir -DWORK_DIR=dir -P program_copies.cmake
# The program away from its build tree, run without a display from another
# directory on a four-panel sequence file. Installed: installed into a
# scratch prefix, it takes the frame template and the viewer from
# share/vantrel and finds the help files there (otherwise the start-up would
# unpack them). SelfContained: the self-contained program copied alone
# into a folder unpacks its files beside itself (where the Help menu looks)
# and uses the unpacked frame template; a second run unpacks nothing.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/home ${WORK_DIR}/elsewhere)
file(WRITE ${WORK_DIR}/four.txt "maxpoints=625 four\n1 0 0\n")
set(files ${WORK_DIR}/main_vantrel/files)

function(check what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()
macro(run_program)
  check("the program (${KIND})" ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=XDG_DATA_HOME
        HOME=${WORK_DIR}/home VANTREL_HOME=${WORK_DIR}/main_vantrel VANTREL_SEED=1 ${program} ${WORK_DIR}/four.txt
        WORKING_DIRECTORY ${WORK_DIR}/elsewhere)
  file(READ ${files}/1_0_0_.htm page)
  if(NOT page MATCHES "in four views")
    message(FATAL_ERROR "the four-panel page was not made from the frame template:\n${output}")
  endif()
endmacro()

if(KIND STREQUAL "Installed")
  set(prefix ${WORK_DIR}/prefix)
  check("cmake --install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
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
  set(program ${prefix}/bin/vantrel)
  run_program()
  if(output MATCHES "installation files|is missing" OR EXISTS ${WORK_DIR}/home/.local/share/vantrel/index.htm)
    message(FATAL_ERROR "the installed program did not find its files:\n${output}")
  endif()
  # What it keeps for itself goes to the user's data folder, not the prefix.
  if(EXISTS ${prefix}/share/vantrel/index.ht OR NOT EXISTS ${WORK_DIR}/home/.local/share/vantrel/index.ht)
    message(FATAL_ERROR "the index's frame set was not kept in ~/.local/share/vantrel alone")
  endif()
  if(NOT EXISTS ${files}/vantrel-viewer.js)
    message(FATAL_ERROR "the viewer script was not copied from share/vantrel into the cache:\n${output}")
  endif()
elseif(KIND STREQUAL "SelfContained")
  check("building the self-contained program" ${CMAKE_COMMAND} --build ${BUILD_DIR} --target selfcontained)
  file(COPY ${BUILD_DIR}/selfcontained/vantrel DESTINATION ${WORK_DIR}/apps)
  set(program ${WORK_DIR}/apps/vantrel)
  run_program()
  if(NOT output MATCHES "The following files will be installed:")
    message(FATAL_ERROR "the first run did not unpack the help files:\n${output}")
  endif()
  foreach(f index.htm schroed.pdf frames.ht)
    if(NOT EXISTS ${WORK_DIR}/apps/${f})
      message(FATAL_ERROR "${f} was not unpacked beside the program:\n${output}")
    endif()
  endforeach()
  file(SHA256 ${WORK_DIR}/apps/schroed.pdf unpacked)
  file(SHA256 ${BUILD_DIR}/schroed.pdf original)
  if(NOT unpacked STREQUAL original)
    message(FATAL_ERROR "the unpacked schroed.pdf differs from the one built in")
  endif()
  run_program()
  if(output MATCHES "installation files|will be installed")
    message(FATAL_ERROR "the second run did not find the unpacked files:\n${output}")
  endif()
else()
  message(FATAL_ERROR "KIND must be Installed or SelfContained, not \"${KIND}\"")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
