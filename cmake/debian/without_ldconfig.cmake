# Run by cpack after it built the .deb (CPACK_POST_BUILD_SCRIPTS): CPack gives any package with
# libraries below /usr/lib a postinst and postrm that call ldconfig; the module and the platform
# library are private (/usr/lib/kestrova, found through the RUNPATH), so the package is built
# again without those two scripts. A script that does anything else stops the build.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${DPKG_DEB} -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    if(EXISTS ${tree}/DEBIAN/${script})
      file(STRINGS ${tree}/DEBIAN/${script} lines)
      list(FILTER lines EXCLUDE REGEX "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|[ \t]*ldconfig|fi|)$")
      if(lines)
        message(FATAL_ERROR "${script} does more than call ldconfig: ${lines}")
      endif()
      file(REMOVE ${tree}/DEBIAN/${script})
    endif()
  endforeach()
  execute_process(COMMAND ${DPKG_DEB} --root-owner-group -b ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
