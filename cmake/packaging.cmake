# Installation and the Debian package.
install(TARGETS rondelo rondelo-selftest RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/rondelo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES completion/rondelo DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rondelo)
set(CPACK_PACKAGE_CONTACT "the rondelo authors <rondelo@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list the round-number anniversaries of a date")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "rondelo lists the instants 100 months, 1K weeks, 10K days, 1M hours,
 100M minutes or 1G seconds (and their siblings) after a date, one CSV line each.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Boost.Date_Time is compiled in from its headers; dpkg-shlibdeps finds the C and C++ runtimes.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
