# Installation and the Debian package: `cmake --install` puts the programs, the desktop
# entry with its icon, the user guide and the licence texts under the prefix; `cpack -G DEB`
# (make package) wraps the same in a .deb.
include(GNUInstallDirs)

# Installing and packaging need only what is installed, not the tests: the install step
# builds nothing by itself (make package builds the two programs first).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(ZELVO_PROGRAMS zelvo-archive)
if(TARGET zelvo)
  list(PREPEND ZELVO_PROGRAMS zelvo)
endif()
install(TARGETS ${ZELVO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES packaging/zelvo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/zelvo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The user guide, looked up by the program as <program folder>/../share/zelvo/help.
if(EXISTS ${PROJECT_SOURCE_DIR}/help)
  install(DIRECTORY help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zelvo/help)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zelvo <zelvo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "contabilità ordinaria in partita doppia")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Zelvo keeps the general ledger of Italian companies with ordinary double-entry "
       "books:\nchart of accounts, customers and suppliers, journal entries and invoices, "
       "VAT\nregisters and settlements, the general journal and the year-end operations.")
# The programs without their debugging symbols: a tenth of the size.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the programs link (Qt widgets and print support, SQLite, libzip, the
# C++ runtime, and whatever library is linked later) are found by dpkg-shlibdeps, with the
# package names and versions of the Debian release built on; the X platform plugin comes with
# the Qt GUI library. What it cannot see is the report font, which is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
include(CPack)
