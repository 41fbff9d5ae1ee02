# The Windows folder and its installer. `cmake --install` puts into one folder the programs, the
# Qt DLLs and plugins they load, the MinGW runtime and the licence texts, and nothing else, so
# that the folder runs on a bare Windows; `cpack --preset mingw` wraps that folder into an NSIS
# installer, ptk-inspector-<version>-win64.exe. It is made on Debian, where the cross build takes
# the icon tools, the licence texts and NSIS from; a build on Windows itself deploys with
# windeployqt instead (docs/windows-build.md).
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

# The programs the folder and the installer carry: the one list to extend.
set(ptk_windows_programs)
foreach(program ptk-inspector ptk-cli)
  if(TARGET ${program})
    list(APPEND ptk_windows_programs ${program})
  endif()
endforeach()
install(TARGETS ${ptk_windows_programs} RUNTIME DESTINATION .)

# The icon, made from the SVG at build time, goes into the program as its first icon resource
# (Qt's windows and the shortcut take it from there) and onto the installer.
find_program(PTK_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(PTK_ICOTOOL icotool REQUIRED)
set(PTK_ICON_FILE ${CMAKE_BINARY_DIR}/packaging/ptk-inspector.ico)
set(icon_sizes 16 24 32 48 64 256)
set(icon_pngs)
foreach(size ${icon_sizes})
  list(APPEND icon_pngs ${CMAKE_BINARY_DIR}/packaging/icon-${size}.png)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/icon-${size}.png
                     COMMAND ${PTK_RSVG_CONVERT} -w ${size} -h ${size}
                             -o ${CMAKE_BINARY_DIR}/packaging/icon-${size}.png
                             ${PROJECT_SOURCE_DIR}/packaging/ptk-inspector.svg
                     DEPENDS ${PROJECT_SOURCE_DIR}/packaging/ptk-inspector.svg VERBATIM)
endforeach()
add_custom_command(OUTPUT ${PTK_ICON_FILE}
                   COMMAND ${PTK_ICOTOOL} -c -o ${PTK_ICON_FILE} ${icon_pngs}
                   DEPENDS ${icon_pngs} VERBATIM)
add_custom_target(ptk_windows_icon DEPENDS ${PTK_ICON_FILE})
if(TARGET ptk-inspector)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/ptk-inspector.rc.in
                 ${CMAKE_BINARY_DIR}/packaging/ptk-inspector.rc @ONLY)
  target_sources(ptk-inspector PRIVATE ${CMAKE_BINARY_DIR}/packaging/ptk-inspector.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/packaging/ptk-inspector.rc
                              PROPERTIES OBJECT_DEPENDS ${PTK_ICON_FILE})
  add_dependencies(ptk-inspector ptk_windows_icon)
endif()

# What the programs load: Qt's modules, the windows platform plugin and the Windows style, and the
# C++ runtime. scripts/wine-tests.sh checks that every PE file of the folder finds its DLLs there
# or in Windows itself.
if(PTK_BUILD_GUI)
  install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
          DESTINATION .)
  install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
endif()
install(FILES ${PTK_MINGW_RUNTIME_DLLS} DESTINATION .)

# The licence texts: ours, Qt's (LGPL-3, which extends the GPL-3 of ours) and the MinGW runtime's
# (the GCC runtime library exception, winpthreads), as Debian ships them with the packages the
# DLLs come from.
set(ptk_licence_texts
    "${PROJECT_SOURCE_DIR}/LICENSE|LICENSE.txt"
    "/usr/share/doc/libqt6core6/copyright|licenses/Qt-copyright.txt"
    "/usr/share/common-licenses/LGPL-3|licenses/LGPL-3.txt"
    "/usr/share/doc/gcc-mingw-w64-base/copyright|licenses/MinGW-GCC-runtime-copyright.txt"
    "/usr/share/doc/mingw-w64-common/copyright|licenses/MinGW-w64-copyright.txt")
foreach(entry ${ptk_licence_texts})
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 source)
  list(GET entry 1 target)
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "licence text ${source} is missing (scripts/install-deps.sh installs it)")
  endif()
  get_filename_component(directory "${target}" DIRECTORY)
  get_filename_component(name "${target}" NAME)
  if(directory STREQUAL "")
    set(directory .)
  endif()
  install(FILES "${source}" DESTINATION "${directory}" RENAME "${name}")
endforeach()

include(cmake/WindowsInstaller.cmake)
