#!/usr/bin/env bash
# Makes the Qt that the Windows build links: qtbase 6.4.2 for x86_64-w64-mingw32, shared DLLs,
# release; Core, Gui, Widgets and Test, the windows and offscreen platform plugins and the Windows
# style; no OpenGL, DBus, SQL, Network or PrintSupport; zlib, pcre2, libpng, harfbuzz and freetype
# built in. It is built from Debian's own qt6-base source (Debian's patches applied) with Debian's
# MinGW-w64 posix-thread compilers, and Debian's Qt of the same version supplies the host tools.
#
#   scripts/build-qt-mingw.sh
#
# PTK_QT_MINGW          the prefix to install into (~/.cache/ptk-inspector/qt-6.4.2-mingw64)
# PTK_QT_MINGW_TARBALL  a .tar.xz of such a prefix (one folder inside): unpacked instead of built
# PTK_QT_MINGW_WORK     where the source and the build live (<prefix>.work); delete it afterwards
# PTK_JOBS              parallel jobs (nproc)
#
# Does nothing when the prefix is complete. Otherwise every step that is done already is skipped,
# so an interrupted run goes on where it stopped. A build from source takes about half an hour on
# two cores; the script prints how long it took and how big the prefix is.
set -euo pipefail

prefix="${PTK_QT_MINGW:-$HOME/.cache/ptk-inspector/qt-6.4.2-mingw64}"
work="${PTK_QT_MINGW_WORK:-$prefix.work}"
jobs="${PTK_JOBS:-$(nproc)}"
triplet=x86_64-w64-mingw32
complete_mark="$prefix/.ptk-qt-complete"
needed_files=(bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll
  plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll
  plugins/styles/qwindowsvistastyle.dll lib/cmake/Qt6/Qt6Config.cmake)

say() { echo "build-qt-mingw: $*"; }
fail() {
  echo "build-qt-mingw: $*" >&2
  exit 1
}

prefix_has_every_file() {
  local file
  for file in "${needed_files[@]}"; do [ -f "$1/$file" ] || return 1; done
}

if [ -f "$complete_mark" ] && prefix_has_every_file "$prefix"; then
  say "$prefix is complete"
  exit 0
fi
started=$(date +%s)

finish() {
  prefix_has_every_file "$prefix" || fail "$prefix lacks some of: ${needed_files[*]}"
  touch "$complete_mark"
  say "$prefix ready in $(($(date +%s) - started)) s, $(du -sh "$prefix" | cut -f1)"
  exit 0
}

# A prebuilt prefix: unpacked beside the target first, so that an interrupted unpacking leaves
# nothing that looks complete.
if [ -n "${PTK_QT_MINGW_TARBALL:-}" ]; then
  [ -f "$PTK_QT_MINGW_TARBALL" ] || fail "no such file: $PTK_QT_MINGW_TARBALL"
  say "unpacking $PTK_QT_MINGW_TARBALL"
  unpacked="$prefix.unpacking"
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  tar -xJf "$PTK_QT_MINGW_TARBALL" -C "$unpacked"
  folders=("$unpacked"/*)
  [ ${#folders[@]} -eq 1 ] && [ -d "${folders[0]}" ] || fail "the tarball must hold one folder"
  prefix_has_every_file "${folders[0]}" || fail "the tarball is no Qt prefix for MinGW"
  rm -rf "$prefix"
  mv "${folders[0]}" "$prefix"
  rmdir "$unpacked"
  finish
fi

# --- what the build needs, from Debian ---
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
build_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix cmake ninja-build perl
  python3 xz-utils dpkg-dev qt6-base-dev qt6-base-dev-tools libwine-dev)
missing=()
for package in "${build_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if [ ${#missing[@]} -ne 0 ]; then
  say "installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
host_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"

# --- Debian's source of the very version the host tools come from ---
has_source_entries() {
  grep -Eqs '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources
}
if ! has_source_entries; then
  say "adding deb-src entries beside the deb entries of apt's sources"
  shopt -s nullglob
  for file in /etc/apt/sources.list.d/*.sources; do
    sed 's/^Types: *deb *$/Types: deb-src/' "$file" |
      $sudo tee "/etc/apt/sources.list.d/ptk-src-$(basename "$file")" >/dev/null
  done
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      $sudo tee /etc/apt/sources.list.d/ptk-src-sources.list >/dev/null
  fi
  shopt -u nullglob
  $sudo apt-get update -qq
fi
mkdir -p "$work"
source_dir="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
if [ -z "$source_dir" ] || [ ! -f "$work/.source-unpacked" ]; then
  say "fetching Debian's qt6-base $host_version source"
  rm -rf "$work"/qt6-base-*
  (cd "$work" && apt-get source -qq "qt6-base=$host_version")
  source_dir="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)"
  [ -n "$source_dir" ] || fail "apt-get source gave no qt6-base folder"
  touch "$work/.source-unpacked"
fi
source_version="$(sed -n 's/^set(QT_REPO_MODULE_VERSION "\(.*\)")/\1/p' "$source_dir/.cmake.conf")"
[ "$source_version" = "${host_version%%+*}" ] ||
  fail "the source is Qt $source_version, the host tools are $host_version"

# Debian's source drops src/3rdparty/wintab (its licence forbids changes), yet the windows
# platform plugin includes <wintab.h> and <pktdef.h>, which mingw-w64 lacks. Wine's LGPL-2.1
# headers of the same interface stand in for them.
wine_headers=/usr/include/wine/wine/windows
wintab="$source_dir/src/3rdparty/wintab"
if [ ! -f "$wintab/wintab.h" ]; then
  mkdir -p "$wintab"
  cat >"$wintab/wintab.h" <<EOF
/* Added by ptk-inspector's build-qt-mingw.sh: Wine's Wintab header (LGPL-2.1). */
#pragma once
#include <windows.h>
#include <_mingw_dxhelper.h>
#include "$wine_headers/wintab.h"
#ifndef API
#define API WINAPI
#endif
EOF
  echo "#include \"$wine_headers/pktdef.h\"" >"$wintab/pktdef.h"
fi

# --- configure, build, install ---
toolchain="$work/mingw-w64-x86_64-posix.cmake"
cat >"$toolchain.new" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER /usr/bin/$triplet-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/$triplet-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/$triplet-windres)
set(CMAKE_AR /usr/bin/$triplet-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/$triplet-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
# Rewritten only when it changes, so that a run that goes on does not make CMake start over.
cmp -s "$toolchain.new" "$toolchain" && rm "$toolchain.new" || mv "$toolchain.new" "$toolchain"
configure_args=(
  -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix"
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_testlib=ON
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  # No OpenGL or Vulkan. The direct2d platform plugin goes with direct2d1_1: switching off
  # "direct2d" itself also drops the DirectWrite font database that qwindows.dll still needs.
  -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_jpeg=OFF
  # Nothing of this Linux machine's libraries or tools may leak into the Windows build.
  -DFEATURE_pkg_config=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF
)
build="$work/build"
arguments_file="$build/.ptk-configure-arguments"
arguments="$(printf '%s\n' "$source_dir" "${configure_args[@]}")"
if [ ! -f "$build/build.ninja" ] || [ "$arguments" != "$(cat "$arguments_file" 2>/dev/null)" ]; then
  say "configuring (log: $work/configure.log)"
  rm -rf "$build"
  mkdir -p "$build"
  cmake -S "$source_dir" -B "$build" "${configure_args[@]}" >"$work/configure.log" 2>&1 ||
    { tail -n 40 "$work/configure.log" >&2; fail "configure failed"; }
  printf '%s\n' "$arguments" >"$arguments_file"
fi
say "building with $jobs jobs (log: $work/build.log)"
cmake --build "$build" --parallel "$jobs" >"$work/build.log" 2>&1 ||
  { tail -n 40 "$work/build.log" >&2; fail "the build failed"; }
cmake --install "$build" >"$work/install.log" 2>&1 ||
  { tail -n 40 "$work/install.log" >&2; fail "install failed"; }
finish
