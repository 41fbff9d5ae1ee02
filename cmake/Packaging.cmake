# Installation and the Debian package (cpack --preset release): the programs in bin with their
# manual pages, the menu entry, its icon and the AppStream metainfo under share, the copyright and
# the changelog under share/doc, the runtime libraries found by dpkg-shlibdeps. lintian checks the
# result (scripts/package-check.sh).
include(GNUInstallDirs)

set(PTK_PROGRAMS ptk-sim)
if(TARGET ptk-cli)
  list(PREPEND PTK_PROGRAMS ptk-cli)
endif()
if(TARGET ptk-inspector)
  list(PREPEND PTK_PROGRAMS ptk-inspector)
endif()

install(TARGETS ${PTK_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Stripped as Debian's own packages are: without the compiler's .comment and .note sections,
# which the binaries do not need. install(TARGETS) has stripped the symbols already.
foreach(program IN LISTS PTK_PROGRAMS)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${program}>\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endforeach()

if(TARGET ptk-inspector)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/ptk-inspector.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/ptk-inspector.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.example.ptk_inspector.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The changelog's newest entry and the metainfo's newest release name the version being built, so
# a version bumped in one place only stops the configuration instead of shipping a package that
# contradicts itself.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_head LIMIT_COUNT 1)
file(READ ${PROJECT_SOURCE_DIR}/packaging/org.example.ptk_inspector.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" metainfo_release "${metainfo}")
set(metainfo_release "${CMAKE_MATCH_1}")
if(NOT changelog_head MATCHES "^ptk-inspector \\(${PROJECT_VERSION}\\) "
   OR NOT metainfo_release STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The version is ${PROJECT_VERSION}: packaging/changelog and the newest "
                      "release in packaging/org.example.ptk_inspector.metainfo.xml must name it")
endif()

# Compressed as Debian's tools compress: gzip -9n leaves out the file's name and time, so the same
# source gives the same bytes on every build.
find_program(PTK_GZIP gzip REQUIRED)
set(PTK_COMPRESSED_FILES)
function(ptk_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(plain ${CMAKE_BINARY_DIR}/packaging/${destination}/${name})
  add_custom_command(OUTPUT ${plain}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
                     COMMAND ${PTK_GZIP} -9nf ${plain}
                     DEPENDS ${source} VERBATIM)
  install(FILES ${plain}.gz DESTINATION ${destination})
  set(PTK_COMPRESSED_FILES ${PTK_COMPRESSED_FILES} ${plain}.gz PARENT_SCOPE)
endfunction()

ptk_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# One manual page per program, docs/man/<program>.1, written in man's own markup; the version is
# filled in here. A page is installed with its program, so a new program needs only its page.
file(GLOB manual_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.1)
foreach(page IN LISTS manual_pages)
  get_filename_component(program ${page} NAME_WE)
  if(program IN_LIST PTK_PROGRAMS)
    configure_file(${page} ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
    ptk_install_gzipped(${CMAKE_BINARY_DIR}/man/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
add_custom_target(ptk_compressed_documentation ALL DEPENDS ${PTK_COMPRESSED_FILES})

set(CPACK_PACKAGE_NAME ptk-inspector)
set(CPACK_PACKAGE_VENDOR "ptk-inspector developers")
set(CPACK_PACKAGE_CONTACT "ptk-inspector developers <ptk-inspector@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "tax inspector's program for servicing a fiscal cash register (ПТК)")
# Every line of the long description stays within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "ptk-inspector reads a fiscal cash register's state, registration data and\n\
EKLZ state over a serial port, enters its service modes with an access\n\
password, fiscalises the register and prints its fiscal-memory reports,\n\
activates its EKLZ and prints the EKLZ reports, prints a test receipt, closes\n\
the shift and sets the register's clock. ptk-cli asks the register for its\n\
state and has it print its reports from a terminal or a script. ptk-sim, a\n\
simulated register served on a pseudo-terminal, comes with them for trying the\n\
programs without hardware.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
