# Installation, the Debian package and the self-contained program.
# Included from the top CMakeLists.txt after the vantrel target and
# DATA_FILES (everything in data/) are defined.

include(GNUInstallDirs)
set(VANTREL_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/vantrel)

install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (cpack, cmake --install --strip) also drops the
# compiler's notes, as Debian's own packaging tools do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:vantrel>\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
install(FILES ${DATA_FILES} DESTINATION ${VANTREL_DATA_INSTALL_DIR})
# The desktop entry and the AppStream metainfo share the application's id.
set(VANTREL_APP_ID io.github.vantrel.Vantrel)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VANTREL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VANTREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vantrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vantrel.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
# The smaller sizes are rendered from the SVG by packaging/make-icons.sh.
foreach(size 48 64 128)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/vantrel-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantrel.png)
endforeach()

# The manual page and the Debian changelog go in compressed the way Debian
# wants them: gzip -9n, so that the same text gives the same bytes.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(PACKAGING_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging)
set(compressed)
foreach(pair "vantrel.1|vantrel.1.gz" "changelog|changelog.Debian.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(
    OUTPUT ${PACKAGING_BUILD_DIR}/${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGING_BUILD_DIR}
    COMMAND ${GZIP_EXECUTABLE} -9n -c ${CMAKE_SOURCE_DIR}/packaging/${source} > ${PACKAGING_BUILD_DIR}/${target}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND compressed ${PACKAGING_BUILD_DIR}/${target})
endforeach()
add_custom_target(packaging_docs ALL DEPENDS ${compressed})
install(FILES ${PACKAGING_BUILD_DIR}/vantrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PACKAGING_BUILD_DIR}/changelog.Debian.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/examples/tour.txt DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME vantrel)

# The installed program finds its data files by this path from its own
# directory ("../share/vantrel" for the usual layout).
file(RELATIVE_PATH VANTREL_DATA_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${VANTREL_DATA_INSTALL_DIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/output/platform.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS VANTREL_DATA_FROM_BIN="${VANTREL_DATA_FROM_BIN}")

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "The Vantrel developers")
set(CPACK_PACKAGE_CONTACT "The Vantrel developers <vantrel@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "orbitals of one-electron atoms in 3-D, with energies and spectrum")
# Debian wants the lines of the long description within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION [[Vantrel samples the real hydrogen-like wave functions of H, He+, Li2+,
Be3+ or any other nuclear charge into clouds of points and shows them in
3-D in the web browser, with the radial probability, the kinetic,
potential and total energy, an energy level diagram and the hydrogen
emission spectrum.

It is a teaching tool for the quantum mechanics of one-electron atoms.
Sequence files run whole series of orbitals without a display.]])
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/vantrel/vantrel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The first Debian revision of each version; packaging/changelog says the same.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The shared libraries come from dpkg-shlibdeps; the Qt platform plugins and
# the 3-D library of the pages are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libjs-three")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium | firefox-esr | www-browser, pdf-viewer | evince | okular")
include(CPack)

# The self-contained program: the program file with every data file appended,
# built by the program itself invoked under the name INSTALL.
set(SELF_CONTAINED_DIR ${CMAKE_BINARY_DIR}/selfcontained)
add_custom_command(
  OUTPUT ${SELF_CONTAINED_DIR}/vantrel
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:vantrel> -DOUT_DIR=${SELF_CONTAINED_DIR}
          "-DDATA_FILES=${DATA_FILES}" -P ${CMAKE_SOURCE_DIR}/packaging/selfcontained.cmake
  DEPENDS vantrel ${DATA_FILES} ${CMAKE_SOURCE_DIR}/packaging/selfcontained.cmake
  COMMENT "Appending the help and data files to a copy of the program"
  VERBATIM)
add_custom_target(selfcontained DEPENDS ${SELF_CONTAINED_DIR}/vantrel)
