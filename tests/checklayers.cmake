cmake_minimum_required(VERSION 3.20)
# Fails when a file includes a header of a layer it may not use, or Qt
# outside the views (gui/ folders). Each layer lists the layers it may use;
# a gui/ folder may use the views of those layers and Qt too.
set(layers engine output install app levels spectrum cloudview)
set(uses_engine engine)
set(uses_output engine output)
set(uses_install engine output install)
set(uses_app engine output install cloudview app)
set(uses_levels engine output levels)
set(uses_spectrum engine output spectrum)
set(uses_cloudview engine output cloudview)
# These two put the program together, so they may use every layer.
set(program app/gui/gui.cpp app/gui/main.cpp)
# Links to the main window that still go through its global state; they go
# once that state is handed to the level window and the spectrum.
set(exceptions
  "levels/levelevents.cpp|app/windowstate.h"
  "levels/levelevents.cpp|app/appstate.h"
  "levels/leveldiagram.cpp|app/appstate.h"
  "levels/gui/levelwindowlink.cpp|app/appstate.h"
  "levels/gui/levelwindowlink.cpp|app/mainwindow.h"
  "levels/gui/levelwindowlink.cpp|app/windowstate.h"
  "levels/gui/levelwindowlink.cpp|app/orbitalcontrols.h"
  "levels/gui/leveldiagramwindow.cpp|app/gui/guardedaction.h"
  "spectrum/mainwindowlinks.cpp|app/orbitalcontrols.h"
  "spectrum/mainwindowlinks.cpp|app/windowstate.h"
  "spectrum/mainwindowlinks.cpp|app/appstate.h"
  "spectrum/gui/spectrumopener.cpp|app/mainwindow.h"
  "spectrum/gui/spectrumopener.cpp|app/windowstate.h"
  # Window placement and picture export are small libraries every window links.
  "levels/gui/leveldiagramwindow.cpp|app/gui/screenfit.h"
  "spectrum/gui/spectrumview.cpp|app/gui/screenfit.h"
  "levels/gui/leveldiagramwindow.cpp|app/gui/pictureexport.h"
  "spectrum/gui/spectrumview.cpp|app/gui/pictureexport.h")

# The tests of these layers use the same layers as the code they test, and
# none of the shared fixtures that reset the window state.
set(tested_alone engine output)
set(fixtures support/testsupport.h support/recordingcanvas.h)

set(failures "")
set(checked 0)
foreach(layer ${layers})
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  if(layer IN_LIST tested_alone)
    file(GLOB tests RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/tests/${layer}/*.h" "${SOURCE_DIR}/tests/${layer}/*.cpp")
    list(APPEND sources ${tests})
  endif()
  foreach(source ${sources})
    if(source IN_LIST program)
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    set(allowed ${uses_${layer}})
    set(view FALSE)
    if(source MATCHES "^${layer}/gui/")
      set(view TRUE)
      foreach(used ${uses_${layer}})
        list(APPEND allowed ${used}/gui)
      endforeach()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" header "${line}")
      if(header IN_LIST fixtures AND source MATCHES "^tests/")
        string(APPEND failures "${source}: ${header} brings in the window state\n")
        continue()
      endif()
      if(header MATCHES "^Q[A-Za-z]*(/|$)")
        if(NOT view)
          string(APPEND failures "${source}: Qt outside a view: ${header}\n")
        endif()
        continue()
      endif()
      if(NOT header MATCHES "^([a-z]+)/")
        continue()
      endif()
      set(target ${CMAKE_MATCH_1})
      if(NOT target IN_LIST layers)
        continue()
      endif()
      if(header MATCHES "^[a-z]+/gui/")
        set(target ${target}/gui)
      endif()
      if(NOT target IN_LIST allowed AND NOT "${source}|${header}" IN_LIST exceptions)
        string(APPEND failures "${source}: ${header} is in a layer ${layer} may not use\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Includes that break the layers:\n${failures}")
endif()
if(checked LESS 50)
  message(FATAL_ERROR "Only ${checked} files found under ${SOURCE_DIR}")
endif()
message(STATUS "${checked} files include only the layers they may use")
