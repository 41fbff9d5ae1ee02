# The MinGW C++ runtime of the Windows build, and how its tests find their DLLs under Wine.
#
# Every program of the Windows build links the C++ runtime as DLLs (libstdc++-6, libgcc_s_seh-1,
# libwinpthread-1), the very ones the Qt DLLs were built against: one copy of the runtime per
# process, so exceptions, threads and the heap are the same on both sides of Qt's interface.
# docs/windows-build.md says more.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(path "${path}" REALPATH)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} knows no ${dll}")
  endif()
  list(APPEND PTK_MINGW_RUNTIME_DLLS "${path}")
  get_filename_component(directory "${path}" DIRECTORY)
  list(APPEND ptk_runtime_directories "${directory}")
endforeach()

# Wine finds the DLLs of a test program through WINEPATH: the runtime's folders and Qt's. The
# window tests get Qt's offscreen platform with the fonts of this machine; Wine hands a Windows
# program the QT_ variables only under WINE-prefixed names.
if(CMAKE_CROSSCOMPILING)
  if(TARGET Qt6::Core)
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
    get_filename_component(qt_bin "${qt_core_dll}" DIRECTORY)
    list(APPEND ptk_runtime_directories "${qt_bin}")
  endif()
  list(REMOVE_DUPLICATES ptk_runtime_directories)
  list(TRANSFORM ptk_runtime_directories PREPEND "Z:")
  string(REPLACE ";" "\\;" wine_path "${ptk_runtime_directories}")
  set(PTK_TEST_ENVIRONMENT "WINEPATH=${wine_path}")
  set(PTK_QTEST_ENVIRONMENT "${PTK_TEST_ENVIRONMENT};WINEQT_QPA_PLATFORM=offscreen")
  string(APPEND PTK_QTEST_ENVIRONMENT ";WINEQT_FORCE_STDERR_LOGGING=1"
         ";WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/dejavu")
endif()
