# The Debian package (cpack -G DEB): stripped binaries, Depends from dpkg-shlibdeps with
# versions, a file name in Debian's form, and the files every package carries: the gzipped
# manual page, the copyright file and the changelog under /usr/share/doc/kestrova; lintian's
# overrides say why a tag does not apply.
find_program(GZIP gzip REQUIRED)
set(kestrova_doc ${CMAKE_BINARY_DIR}/package-doc)
configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/changelog.in ${kestrova_doc}/changelog @ONLY)
# gzip -n: no name or time stamp, so the same sources give the same bytes.
add_custom_command(
  OUTPUT ${kestrova_doc}/kestrova.1.gz ${kestrova_doc}/changelog.gz
  COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/kestrova.1 > ${kestrova_doc}/kestrova.1.gz
  COMMAND ${GZIP} -9nc ${kestrova_doc}/changelog > ${kestrova_doc}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/kestrova.1 ${kestrova_doc}/changelog)
add_custom_target(kestrova-package-doc ALL
                  DEPENDS ${kestrova_doc}/kestrova.1.gz ${kestrova_doc}/changelog.gz)
install(FILES ${kestrova_doc}/kestrova.1.gz DESTINATION share/man/man1)
install(FILES ${kestrova_doc}/changelog.gz ${CMAKE_SOURCE_DIR}/cmake/debian/copyright
        DESTINATION share/doc/kestrova)

set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VENDOR "Kestrova")
# No address of the authors is published yet: a domain reserved never to resolve.
set(CPACK_PACKAGE_CONTACT "Kestrova developers <developers@kestrova.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console newsreader with a two-panel file system view")
# The summary comes first in the package's description; this follows it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kestrova reads and posts Usenet news (NNTP, with TLS and SOCKS proxies) in a
full-screen terminal program of two panels: news accounts are files, a server's
newsgroups are folders and its articles are files. Copying articles out of a
group saves them; copying a text file into a group posts it.")
set(CPACK_DEBIAN_PACKAGE_SECTION news)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The module and the platform library live in /usr/lib/kestrova, found through the RUNPATH.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack calls ldconfig for libraries below /usr/lib; private ones need no such call.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/debian/without_ldconfig.cmake)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
