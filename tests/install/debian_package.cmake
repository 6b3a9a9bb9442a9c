# cmake -DSTEP=step -DSOURCE_DIR=dir -DBUILD_DIR=dir -DWORK_DIR=dir -DCPACK=cpack -DVERSION=x.y.z
#       -P debian_package.cmake
# The Debian package, one step a test: Build (cpack -G DEB, for the others),
# Contents, Lintian, AppStream, InstallRemove (dpkg -i, a run, dpkg -r).
# A step whose tool is missing prints "SKIPPED: why", which marks the test
# skipped; scripts/deps.sh installs them all.

# Macros, so that their return() ends the step.
macro(skip)
  message("SKIPPED: " ${ARGN})
  return()
endmacro()
macro(need tool package)
  find_program(found_${tool} ${tool} PATHS /usr/sbin /sbin)
  if(NOT found_${tool})
    skip("${tool} is not installed (apt-get install ${package}): the Deb${STEP} check did not run")
  endif()
endmacro()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGV0} failed (${result}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

# Reports a mismatch of the variable named and goes on, so that one run
# lists every fault.
function(expect variable regex)
  if(NOT ${variable} MATCHES "${regex}")
    message(SEND_ERROR ${ARGN})
  endif()
endfunction()

set(deb_dir ${WORK_DIR}/deb)
set(id io.github.vantrel.Vantrel)
if(STEP STREQUAL "AppStream")
  need(appstreamcli appstream)
  # The package holds this very file (Contents checks that it is there).
  run(appstreamcli validate --no-net --explain ${SOURCE_DIR}/packaging/${id}.metainfo.xml)
  return()
elseif(STEP STREQUAL "Build")
  need(dpkg-deb dpkg)
  need(dpkg-shlibdeps dpkg-dev)
  file(REMOVE_RECURSE ${deb_dir})
  run(${CPACK} -G DEB -B ${deb_dir} --config ${BUILD_DIR}/CPackConfig.cmake)
  return()
endif()

file(GLOB deb ${deb_dir}/*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
  skip("${count} packages in ${deb_dir}: package.DebBuild must pass first")
endif()

if(STEP STREQUAL "Contents")
  # Lintian fails on a missing copyright file, changelog or manual page,
  # icons of the wrong size, a program without PIE or RELRO or not
  # stripped; install.InstalledProgramFindsItsFiles checks the other files
  # the same install rules put in the package.
  need(readelf binutils)
  set(root ${WORK_DIR}/contents)
  file(REMOVE_RECURSE ${root})
  run(dpkg-deb -x ${deb} ${root})
  set(doc usr/share/doc/vantrel)
  # Lintian only notes these hardening marks, or not at all.
  run(readelf -W --dynamic --dyn-syms ${root}/usr/bin/vantrel)
  foreach(mark "BIND_NOW" "__stack_chk_fail" "__[a-z_]+_chk@")
    expect(output "${mark}" "no ${mark} in the program: a hardening flag is missing")
  endforeach()
  file(READ ${root}/${doc}/copyright copyright)
  expect(copyright "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\nUpstream-Name"
         "the copyright file is not in the machine-readable format")
  expect(copyright "Files: \\*\nCopyright: 2026 The Vantrel developers\nLicense: Expat\n"
         "the copyright file does not give the MIT (Expat) licence of the whole")

  # One version in the control file, the changelog, the metainfo and the manual page.
  run(dpkg-deb -f ${deb} Version)
  string(STRIP "${output}" package_version)
  expect(package_version "^${VERSION}-[0-9]+$" "package version ${package_version} is not of version ${VERSION}")
  run(gzip -dc ${root}/${doc}/changelog.Debian.gz)
  string(REGEX MATCH "^[^\n]*" newest "${output}")
  expect(newest "^vantrel \\(${package_version}\\) "
         "the changelog's newest entry is \"${newest}\", not ${package_version}: add one to packaging/changelog")
  file(READ ${root}/usr/share/metainfo/${id}.metainfo.xml metainfo)
  expect(metainfo "<releases>[ \n]*<release version=\"${VERSION}\""
         "the metainfo's newest release is not ${VERSION}: add it to packaging/${id}.metainfo.xml")
  run(gzip -dc ${root}/usr/share/man/man1/vantrel.1.gz)
  string(REGEX MATCH "\\.TH [^\n]*" title "${output}")
  expect(title "\"Vantrel ${VERSION}\"" "the manual page's title line ${title} does not name Vantrel ${VERSION}")

  # Software centres find the desktop entry and the icon through the metainfo.
  expect(metainfo "<launchable type=\"desktop-id\">${id}.desktop</launchable>" "the metainfo launches no ${id}.desktop")
  expect(metainfo "<icon type=\"stock\">vantrel</icon>" "the metainfo does not name the icon vantrel")
  file(STRINGS ${root}/usr/share/applications/${id}.desktop icon REGEX "^Icon=")
  expect(icon "^Icon=vantrel$" "the desktop entry names the icon ${icon}, not vantrel")
  file(REMOVE_RECURSE ${root})

elseif(STEP STREQUAL "Lintian")
  need(lintian lintian)
  # Info tags too, so that an override nothing uses any more stands out.
  run(lintian --fail-on error,warning --display-info ${deb})
  if(output MATCHES "(unused|mismatched)-override[^\n]*")
    message(FATAL_ERROR "lintian: ${CMAKE_MATCH_0}: update packaging/lintian-overrides")
  endif()

elseif(STEP STREQUAL "InstallRemove")
  # The real dpkg -i and dpkg -r, into a root of its own with an empty
  # package database: no root rights needed, the system's packages untouched.
  # The program runs from there: it finds its data relative to itself.
  set(root ${WORK_DIR}/dpkgroot)
  set(run_dir ${WORK_DIR}/run)
  file(REMOVE_RECURSE ${root} ${run_dir})
  file(MAKE_DIRECTORY ${root}/var/lib/dpkg/info ${root}/var/lib/dpkg/updates ${run_dir}/home)
  file(TOUCH ${root}/var/lib/dpkg/status)
  # Dependencies are the system's business; here only the package's files count.
  set(dpkg dpkg --root=${root} --log=/dev/null --force-not-root --force-depends --force-bad-path)
  run(${dpkg} --install ${deb})
  file(GLOB_RECURSE installed RELATIVE ${root} ${root}/usr/*)

  file(WRITE ${run_dir}/two.txt "maxpoints=300\n1 0 0\n2 1 0\n")
  run(${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=XDG_DATA_HOME
      HOME=${run_dir}/home VANTREL_HOME=${run_dir}/main_vantrel VANTREL_SEED=1
      ${root}/usr/bin/vantrel ${run_dir}/two.txt)
  file(GLOB pages ${run_dir}/main_vantrel/files/*.htm)
  if(NOT pages)
    message(FATAL_ERROR "the installed program wrote no page:\n${output}")
  endif()
  if(NOT EXISTS ${run_dir}/home/.local/share/vantrel/index.ht)
    message(SEND_ERROR "the index's frame set is not in the user's data folder ~/.local/share/vantrel")
  endif()
  file(GLOB_RECURSE after_run RELATIVE ${root} ${root}/usr/*)
  list(REMOVE_ITEM after_run ${installed})

  run(${dpkg} --remove vantrel)
  if(after_run)
    message(SEND_ERROR "the program wrote into the install prefix while it ran: ${after_run}")
  endif()
  if(EXISTS ${root}/usr)
    file(GLOB_RECURSE left LIST_DIRECTORIES true RELATIVE ${root} ${root}/usr/*)
    message(FATAL_ERROR "dpkg -r left files or folders behind: usr ${left}")
  endif()
  file(REMOVE_RECURSE ${root} ${run_dir})
else()
  message(FATAL_ERROR "unknown STEP \"${STEP}\"")
endif()
