#!/usr/bin/env bash
# Fails when a PE file of the Windows folder imports a DLL that is neither in the folder (beside
# the programs, where Windows looks first, also for the plugins' imports) nor one that every
# 64-bit Windows 10 has in System32. Names the file and the DLL.
#
#   tests/wine/check_dll_closure.sh FOLDER
set -euo pipefail

folder="$1"
# API sets (api-ms-win-*) are names that Windows itself resolves.
system_dlls="advapi32 authz bcrypt comctl32 comdlg32 crypt32 d3d9 d3d11 d3d12 dwmapi dwrite dxgi
  gdi32 imm32 kernel32 mpr msvcrt netapi32 ntdll ole32 oleaut32 setupapi shcore shell32 shlwapi
  user32 userenv uxtheme version winmm winspool.drv ws2_32 wtsapi32"
system_dlls=" $(echo $system_dlls) "

mapfile -t pe_files < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
[ ${#pe_files[@]} -gt 0 ] || { echo "dll closure: no PE file in $folder" >&2; exit 1; }
present=" $(find "$folder" -maxdepth 1 -type f -iname '*.dll' -printf '%f ' | tr 'A-Z' 'a-z') "

missing=0
for file in "${pe_files[@]}"; do
  imports="$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')"
  [ -n "$imports" ] || { echo "dll closure: $file imports nothing, so it is no program" >&2; missing=1; }
  for dll in $imports; do
    case "$dll" in api-ms-win-*) continue ;; esac
    case "$present$system_dlls" in *" $dll "* | *" ${dll%.dll} "*) continue ;; esac
    echo "dll closure: ${file#"$folder"/} needs $dll, which is not in the folder" >&2
    missing=1
  done
done
[ "$missing" -eq 0 ] || exit 1
echo "dll closure: ${#pe_files[@]} PE files, every DLL they import is in the folder or in Windows"
