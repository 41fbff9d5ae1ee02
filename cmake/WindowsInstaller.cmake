# The NSIS installer (cpack --preset mingw, Debian's nsis package): the folder of
# cmake/WindowsPackaging.cmake installed into Program Files, a Start-menu shortcut, and an
# uninstaller. Silent install (/S) and silent uninstall work as well.
set(CPACK_GENERATOR NSIS)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME ptk-inspector)
set(CPACK_PACKAGE_VENDOR "ptk-inspector developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "tax inspector's program for servicing a fiscal cash register (ПТК)")
set(CPACK_PACKAGE_FILE_NAME ptk-inspector-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY ptk-inspector)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ptk-inspector)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Программа налогового инспектора")
set(CPACK_NSIS_DISPLAY_NAME "Программа налогового инспектора ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${PTK_ICON_FILE})
set(CPACK_NSIS_MUI_UNIICON ${PTK_ICON_FILE})
set(CPACK_NSIS_INSTALLED_ICON_NAME ptk-inspector.exe)

# The program keeps its three settings files in its working directory, and Program Files is not
# writable: the shortcut starts it in a folder of the machine's application data
# (C:\ProgramData\ptk-inspector for an installation for all users), made at install and opened to
# the workstation's users, since the port and the register are the workstation's. The uninstaller
# removes that folder only when it is empty, so the settings stay.
set(ptk_shortcut "$SMPROGRAMS\\$STARTMENU_FOLDER\\Программа налогового инспектора.lnk")
set(ptk_work_folder "$APPDATA\\ptk-inspector")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  CreateDirectory \"${ptk_work_folder}\"
  nsExec::Exec 'icacls \"${ptk_work_folder}\" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0
  SetOutPath \"${ptk_work_folder}\"
  CreateShortCut \"${ptk_shortcut}\" \"$INSTDIR\\ptk-inspector.exe\" \"\" \"$INSTDIR\\ptk-inspector.exe\" 0
  SetOutPath \"$INSTDIR\"")
string(REPLACE "$STARTMENU_FOLDER" "$MUI_TEMP" CPACK_NSIS_DELETE_ICONS_EXTRA
       "  Delete \"${ptk_shortcut}\"")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "  RMDir \"${ptk_work_folder}\"")

# Debian's Wine, like most Windows of today, is 64-bit only, and so is the program: the installer
# is a 64-bit Unicode NSIS program too (the default is a 32-bit ANSI one). CMake's own template
# gets the one line that says so.
set(ptk_nsis_template_dir ${CMAKE_BINARY_DIR}/packaging/nsis)
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in ptk_nsis_template)
string(REPLACE "  !include \"MUI.nsh\"" "  Target amd64-unicode\n  !include \"MUI.nsh\""
       ptk_nsis_template_patched "${ptk_nsis_template}")
if(ptk_nsis_template_patched STREQUAL ptk_nsis_template)
  message(FATAL_ERROR "CMake's NSIS template has changed: no place for 'Target amd64-unicode'")
endif()
file(WRITE ${ptk_nsis_template_dir}/NSIS.template.in "${ptk_nsis_template_patched}")
set(CPACK_MODULE_PATH ${ptk_nsis_template_dir})

include(CPack)
