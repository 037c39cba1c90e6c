# Installing the tool the ordinary way: cmake --install puts the program,
# its manual page and the README where GNUInstallDirs says, and CPack
# makes a Debian package of the same (cpack -G DEB in the build directory).
include(GNUInstallDirs)

install(TARGETS zev RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(NOT WIN32)
  # The usage screen names the program ZEV; a link answers to that name,
  # and to its manual page.
  install(CODE "execute_process(COMMAND \${CMAKE_COMMAND} -E create_symlink zev
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/ZEV\")")

  # Manual pages and the changelog of a native package are compressed as
  # Debian does them:
  # the best compression, and no name or time inside.
  # The manual page names the project's version, filled in here.
  set(compressed ${CMAKE_BINARY_DIR}/packaging)
  configure_file(${CMAKE_SOURCE_DIR}/doc/zev.1.in ${compressed}/zev.1 @ONLY)
  add_custom_command(OUTPUT ${compressed}/zev.1.gz ${compressed}/changelog.gz
    COMMAND gzip -9n -c ${compressed}/zev.1 > ${compressed}/zev.1.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${compressed}/changelog.gz
    DEPENDS ${compressed}/zev.1 ${CMAKE_SOURCE_DIR}/packaging/changelog)
  add_custom_target(manual ALL DEPENDS ${compressed}/zev.1.gz ${compressed}/changelog.gz)
  install(FILES ${compressed}/zev.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(CODE "execute_process(COMMAND \${CMAKE_COMMAND} -E create_symlink zev.1.gz
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/ZEV.1.gz\")")
  install(FILES ${compressed}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME zev)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZEV developers <zev@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare two to ten files byte by byte")
set(CPACK_PACKAGE_DESCRIPTION
  "ZEV lists every position at which two to ten files differ, or only the\npositions where the bytes rise, fall or change by a constant step from\nthe first file to the last: for snapshots of a save file, a firmware\nimage or a memory dump.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
