# Run by cpack on the finished packages. cpack gives a package whose files
# lie under /usr/lib a postinst and a postrm that only call ldconfig, as if
# they were shared libraries; the window's channel module there is loaded by
# path, not through the linker's cache. Such a postrm also leaves the
# package in state "rc" after removal, so the two scripts are taken out.
# Any other maintainer script stays and fails this step, to be looked at.
find_program(kel_dpkg_deb dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${kel_dpkg_deb} --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  set(changed FALSE)
  foreach(script postinst postrm)
    set(path ${tree}/DEBIAN/${script})
    if(NOT EXISTS ${path})
      continue()
    endif()
    file(STRINGS ${path} lines)
    list(FILTER lines EXCLUDE REGEX "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|[ \t]*ldconfig|fi|)$")
    if(lines)
      message(FATAL_ERROR "${deb}: its ${script} does more than call ldconfig: ${lines}")
    endif()
    file(REMOVE ${path})
    set(changed TRUE)
  endforeach()
  if(changed)
    execute_process(COMMAND ${kel_dpkg_deb} --root-owner-group -Zgzip --build ${tree} ${deb}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
