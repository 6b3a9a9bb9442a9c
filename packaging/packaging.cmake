# Installation, the Debian package and the self-contained program.
# Included from the top CMakeLists.txt after the vantrel target and
# DATA_FILES (everything in data/) are defined.

include(GNUInstallDirs)
set(VANTREL_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/vantrel)

install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DATA_FILES} DESTINATION ${VANTREL_DATA_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vantrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/vantrel.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

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
set(CPACK_PACKAGE_DESCRIPTION "Vantrel samples the real hydrogen-like wave functions of H, He+, Li2+, Be3+ \
or any nuclear charge into point clouds and shows them in 3-D in the web browser, with the radial \
probability, the energies, an energy level diagram and the hydrogen emission spectrum. A teaching \
tool for the quantum mechanics of one-electron atoms.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
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
