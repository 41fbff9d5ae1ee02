# Warnings and sanitizers for every target of the project, through one interface library.
add_library(ptk_options INTERFACE)
if(MSVC)
  # The sources are UTF-8 without a byte-order mark (the Russian texts of the program): MSVC must
  # be told, or it reads them in the workstation's code page.
  target_compile_options(ptk_options INTERFACE /W4 /utf-8 /permissive- /Zc:__cplusplus)
  if(PTK_WARNINGS_AS_ERRORS)
    target_compile_options(ptk_options INTERFACE /WX)
  endif()
else()
  target_compile_options(ptk_options INTERFACE -Wall -Wextra -Wpedantic)
  if(PTK_WARNINGS_AS_ERRORS)
    target_compile_options(ptk_options INTERFACE -Werror)
  endif()
endif()
if(PTK_SANITIZE)
  target_compile_options(ptk_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                               -fno-sanitize-recover=undefined)
  target_link_options(ptk_options INTERFACE -fsanitize=address,undefined)
endif()
if(PTK_SANITIZE_THREAD)
  target_compile_options(ptk_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(ptk_options INTERFACE -fsanitize=thread)
endif()
target_compile_definitions(ptk_options INTERFACE PTK_VERSION="${PROJECT_VERSION}")
# MinGW links the C++ runtime as DLLs, the ones Qt uses: see cmake/WindowsRuntime.cmake.
# Release builds for Linux get the hardening Debian builds its own packages with: checked buffer
# functions, stack protection, and relocations made read-only before the program starts.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_compile_definitions(ptk_options INTERFACE $<$<CONFIG:Release>:_FORTIFY_SOURCE=2>)
  target_compile_options(ptk_options INTERFACE $<$<CONFIG:Release>:-fstack-protector-strong>)
  target_link_options(ptk_options INTERFACE $<$<CONFIG:Release>:LINKER:-z,relro,-z,now>)
endif()
