# Installation and the Debian package (cpack --preset release): the two programs in bin, the
# menu entry and its icon under share, the runtime libraries found by dpkg-shlibdeps.
include(GNUInstallDirs)

if(TARGET ptk-inspector)
  install(TARGETS ptk-inspector RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/ptk-inspector.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/ptk-inspector.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(TARGETS ptk-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_PACKAGE_NAME ptk-inspector)
set(CPACK_PACKAGE_VENDOR "ptk-inspector developers")
set(CPACK_PACKAGE_CONTACT "ptk-inspector developers <ptk-inspector@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "tax inspector's program for servicing a fiscal cash register (ПТК)")
set(CPACK_PACKAGE_DESCRIPTION
    "ptk-inspector reads a fiscal cash register's state, registration data and EKLZ state over a\n\
serial port, enters its service modes with an access password, fiscalises the register and\n\
prints its fiscal-memory reports, activates its EKLZ and prints the EKLZ reports, prints a\n\
test receipt, closes the shift and sets the register's clock. ptk-sim, a simulated register\n\
served on a pseudo-terminal, comes with it for trying the program without hardware.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
