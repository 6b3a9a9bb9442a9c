# Fails when a file of a lower layer includes a header of a higher one:
# engine/ may include only engine/, output/ only engine/ and output/, and
# cloudview/ only those two and itself; nothing outside the views (gui/
# folders) includes Qt.
set(rules
  "engine|output/|cloudview/|app/|levels/|spectrum/|install/|Q[A-Za-z]+"
  "output|cloudview/|app/|levels/|spectrum/|install/|Q[A-Za-z]+"
  "cloudview|app/|levels/|spectrum/|install/|Q[A-Za-z]+")
set(failures "")
foreach(rule ${rules})
  string(REPLACE "|" ";" parts "${rule}")
  list(POP_FRONT parts layer)
  list(JOIN parts "|" forbidden)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "/gui/")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${forbidden})")
    foreach(line ${includes})
      string(APPEND failures "${source}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Includes that point up the layers:\n${failures}")
endif()
message(STATUS "engine, output and cloudview include only their own layer and the ones below")
