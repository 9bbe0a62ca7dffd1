#!/usr/bin/env bash
# Cross-builds harlune.exe for 64-bit Windows on Debian 12 and packs it in a zip.
#
# It builds, once, into a cache folder outside the tree:
#   - a static Qt (qtbase from Debian's source package, Qt Serial Port from the
#     tarball in $QTSERIALPORT_SRC or ../shared/third_party/),
#   - libxlsxwriter from Debian's source package, over MinGW's zlib,
#   - QCustomPlot, the plot library, from Debian's source package, static, as
#     the CMake package QCustomPlotQt6 that the Linux build finds too;
# then Harlune itself, and packs build-windows/harlune-<version>-win64.zip with
# the programs, the MinGW runtime DLLs they need, the translations and a
# README. Later runs reuse the cache and take minutes.
#
# Environment:
#   HARLUNE_WINDOWS_CACHE  the cache folder (default ~/.cache/harlune-windows)
#   QTSERIALPORT_SRC       Qt Serial Port 6.4.2 source tarball
#   JOBS                   parallel build jobs (default: all cores)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${HARLUNE_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/harlune-windows}
jobs=${JOBS:-$(nproc)}
qt_version=6.4.2
qtserialport_src=${QTSERIALPORT_SRC:-$repo/../shared/third_party/qtserialport-everywhere-src-$qt_version.tar.xz}
target=x86_64-w64-mingw32
mingw_root=/usr/$target

downloads=$cache/downloads
sources=$cache/src
builds=$cache/build
stamps=$cache/stamps
qt_prefix=$cache/qt-$qt_version-static
xlsx_prefix=$cache/libxlsxwriter
qcustomplot_prefix=$cache/qcustomplot
toolchain=$cache/mingw-toolchain.cmake
out=$repo/build-windows
wine=/usr/lib/wine/wine64

die() { echo "build-windows: $*" >&2; exit 1; }
step() { echo "build-windows: $*" >&2; }
done_already() { [ -e "$stamps/$1" ]; }
mark_done() { touch "$stamps/$1"; }

"$repo/scripts/install-deps.sh" windows
mkdir -p "$downloads" "$sources" "$builds" "$stamps"

# The sources come from Debian's source archive through a private apt setup:
# the system's own apt sources, turned into deb-src entries, with lists kept
# in the cache, so the machine's apt configuration is left as it is.
apt_dir=$cache/apt
apt_opts=(
  -o Dir::Etc::SourceList=/dev/null
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o APT::Sandbox::User=root
)
prepare_apt() {
  [ -d "$apt_dir/lists" ] && return
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  local found=""
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
    found=1
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    sed -nE 's/^deb(-src)?[[:space:]]/deb-src /p' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
    found=1
  done
  [ -n "$found" ] || die "no apt sources found in /etc/apt to take Debian's source packages from"
  apt-get "${apt_opts[@]}" update -q || true
}

# Unpacks Debian's source package $1, with Debian's patches, into $sources/$2.
debian_source() {
  local package=$1 dir=$sources/$2
  [ -d "$dir" ] && return
  prepare_apt
  (cd "$downloads" && apt-get "${apt_opts[@]}" source --download-only -q "$package") ||
    die "cannot get the source of Debian's $package package from the apt sources"
  local dsc
  dsc=$(ls -t "$downloads/${package}"_*.dsc | head -n1)
  dpkg-source -x "$dsc" "$dir.tmp" >/dev/null || die "cannot unpack $dsc"
  mv "$dir.tmp" "$dir"
}

# Rewritten only when its text changes, so builds configured with it stay current.
# Applies a patch to a source tree unless it is already applied.
patch_once() {
  local dir=$1 patch=$2
  patch -d "$dir" -p1 -R --dry-run -s -f <"$patch" >/dev/null 2>&1 && return
  patch -d "$dir" -p1 -s -f <"$patch" || die "cannot apply $patch"
}

write_toolchain() {
  cat >"$toolchain.new" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $target-gcc-posix)
set(CMAKE_CXX_COMPILER $target-g++-posix)
set(CMAKE_RC_COMPILER $target-windres)
set(CMAKE_FIND_ROOT_PATH $mingw_root $qt_prefix $xlsx_prefix $qcustomplot_prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
  if cmp -s "$toolchain.new" "$toolchain"; then
    rm "$toolchain.new"
  else
    mv "$toolchain.new" "$toolchain"
  fi
}

build_qtbase() {
  done_already qtbase && return
  debian_source qt6-base qtbase
  patch_once "$sources/qtbase" "$repo/scripts/windows/qtbase-no-opengl.patch"
  step "building static qtbase $qt_version (the long step, once)"
  rm -rf "$builds/qtbase"
  # Only what Harlune uses: Core, Gui, Widgets, PrintSupport (the plots save PDF
  # through QPrinter) and the Windows platform plugin.
  # Tablet support needs wintab.h and pktdef.h, which MinGW on Debian lacks.
  cmake -S "$sources/qtbase" -B "$builds/qtbase" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
    -DBUILD_SHARED_LIBS=OFF \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF \
    -DFEATURE_androiddeployqt=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
    || die "configuring qtbase failed"
  cmake --build "$builds/qtbase" --parallel "$jobs" || die "building qtbase failed"
  cmake --install "$builds/qtbase" >/dev/null
  mark_done qtbase
}

build_qtserialport() {
  done_already qtserialport && return
  [ -f "$qtserialport_src" ] ||
    die "no Qt Serial Port source at $qtserialport_src; set QTSERIALPORT_SRC to qtserialport-everywhere-src-$qt_version.tar.xz"
  step "building static Qt Serial Port from $qtserialport_src"
  rm -rf "$sources/qtserialport" "$builds/qtserialport"
  mkdir -p "$sources/qtserialport"
  tar -xf "$qtserialport_src" -C "$sources/qtserialport" --strip-components=1 ||
    die "cannot unpack $qtserialport_src"
  "$qt_prefix/bin/qt-cmake" -S "$sources/qtserialport" -B "$builds/qtserialport" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    || die "configuring qtserialport failed"
  cmake --build "$builds/qtserialport" --parallel "$jobs" || die "building qtserialport failed"
  cmake --install "$builds/qtserialport" >/dev/null
  mark_done qtserialport
}

build_libxlsxwriter() {
  done_already libxlsxwriter && return
  debian_source libxlsxwriter libxlsxwriter
  step "building static libxlsxwriter over MinGW's zlib"
  rm -rf "$builds/libxlsxwriter"
  # Its bundled minizip: MinGW has no minizip package.
  cmake -S "$sources/libxlsxwriter" -B "$builds/libxlsxwriter" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$xlsx_prefix" \
    -DBUILD_SHARED_LIBS=OFF -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
    || die "configuring libxlsxwriter failed"
  cmake --build "$builds/libxlsxwriter" --parallel "$jobs" || die "building libxlsxwriter failed"
  cmake --install "$builds/libxlsxwriter" >/dev/null
  mark_done libxlsxwriter
}

build_qcustomplot() {
  done_already qcustomplot && return
  debian_source qcustomplot qcustomplot
  patch_once "$sources/qcustomplot" "$repo/scripts/windows/qcustomplot-static.patch"
  step "building static QCustomPlot against the static Qt"
  rm -rf "$builds/qcustomplot"
  "$qt_prefix/bin/qt-cmake" -S "$sources/qcustomplot" -B "$builds/qcustomplot" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$qcustomplot_prefix" \
    -DBUILD_SHARED_LIBS=OFF -DUSE_QT_VERSION=6 \
    || die "configuring QCustomPlot failed"
  cmake --build "$builds/qcustomplot" --parallel "$jobs" || die "building QCustomPlot failed"
  cmake --install "$builds/qcustomplot" >/dev/null
  check_qcustomplot
  mark_done qcustomplot
}

# Builds a small program against the installed QCustomPlot, found the way
# Harlune's build finds it, and runs it under Wine when Wine is there.
check_qcustomplot() {
  local check=$builds/qcustomplot-check
  step "checking QCustomPlot: a program that finds, links and draws with it"
  rm -rf "$check"
  "$qt_prefix/bin/qt-cmake" -S "$repo/scripts/windows/qcustomplot-check" -B "$check" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release >/dev/null \
    || die "a program cannot find QCustomPlotQt6 in $qcustomplot_prefix"
  cmake --build "$check" || die "a program cannot be built against QCustomPlot"
  if [ ! -x "$wine" ]; then
    step "wine64 is not installed; QCustomPlot links, but its drawing is not run"
    return
  fi
  needed_dlls "$check/qcustomplot_check.exe" | sort -u | xargs -r cp -t "$check/"
  WINEPREFIX="$cache/wine" WINEDEBUG=-all "$wine" "$check/qcustomplot_check.exe" ||
    die "QCustomPlot does not draw under Wine"
}

build_harlune() {
  step "building Harlune"
  # pkg-config finds only the cross-built libxlsxwriter, never the host's.
  PKG_CONFIG_LIBDIR="$xlsx_prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
    "$qt_prefix/bin/qt-cmake" -S "$repo" -B "$out/build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null \
    || die "configuring Harlune failed"
  cmake --build "$out/build" --parallel "$jobs" || die "building Harlune failed"
}

# The DLLs a Windows program needs that Windows itself does not have: those
# the MinGW compiler can find, and the ones they need in turn.
needed_dlls() {
  local name path
  for name in $($target-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    path=$($target-gcc-posix -print-file-name="$name")
    if [ -f "$path" ]; then
      realpath "$path"
      needed_dlls "$path"
    fi
  done
}

# The programs the Harlune build makes for Windows, each packed when built.
programs=(harlune harlune-cli)
# Qt's own Chinese texts (the save dialog, the message boxes' buttons), from
# the host's qt6-translations-l10n; the program looks in translations\ beside it.
qt_translation=/usr/share/qt6/translations/qtbase_zh_CN.qm

# The version of the Harlune build, from its CMake cache.
project_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/build/CMakeCache.txt"
}

# Packs the programs into $stage and $stage.zip.
pack() {
  local name program qm
  name=harlune-$version-win64
  stage=$out/$name
  step "packing $stage.zip"
  rm -rf "$stage" "$stage.zip"
  mkdir -p "$stage"
  for program in "${programs[@]}"; do
    if [ -f "$out/build/$program.exe" ]; then
      cp "$out/build/$program.exe" "$stage/"
      needed_dlls "$stage/$program.exe"
    else
      step "$program.exe is not built by this tree yet; packing without it"
    fi
  done | sort -u | xargs -r cp -t "$stage/"
  [ -f "$stage/harlune.exe" ] || die "the build made no harlune.exe"
  pack_translations
  # MinGW's DLLs come with their debugging symbols; the zip needs none.
  $target-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll
  cp "$repo/packaging/README-windows.txt" "$stage/README.txt"
  cp "$repo/LICENSE" "$stage/LICENSE.txt"
  cp "$sources/qtbase/LICENSES/LGPL-3.0-only.txt" "$stage/Qt-LGPL-3.0.txt"
  cp "$sources/libxlsxwriter/License.txt" "$stage/libxlsxwriter-License.txt"
  (cd "$out" && zip -qr "$name.zip" "$name")
  ls -lR "$stage"
}

# Qt's Chinese texts, in $stage/translations. The program's own English
# (harlune_en.qm) is built into the programs and needs no file beside them.
pack_translations() {
  if [ ! -f "$qt_translation" ]; then
    step "no translations to pack"
    return
  fi
  mkdir -p "$stage/translations"
  cp "$qt_translation" "$stage/translations/"
}

# The installed path of a folder ./a/b of $stage, as NSIS writes it: $INSTDIR\a\b.
in_instdir() {
  local relative=${1#.}
  echo "\$INSTDIR${relative//\//\\}"
}

# Writes the NSIS lines that install every file of $stage and those that
# remove them again, so the uninstaller removes exactly what was installed.
write_installer_lists() {
  local install=$1 uninstall=$2 dir file
  : >"$install"
  : >"$uninstall"
  while IFS= read -r dir; do
    echo "SetOutPath \"$(in_instdir "$dir")\"" >>"$install"
    while IFS= read -r file; do
      echo "File \"$stage${dir#.}/$file\"" >>"$install"
      echo "Delete \"$(in_instdir "$dir")\\$file\"" >>"$uninstall"
    done < <(find "$stage/$dir" -maxdepth 1 -type f -printf '%f\n' | sort)
  done < <(cd "$stage" && find . -type d | sort)
  # Folders last, the deepest first; RMDir leaves a folder that is not empty.
  while IFS= read -r dir; do
    echo "RMDir \"$(in_instdir "$dir")\"" >>"$uninstall"
  done < <(cd "$stage" && find . -mindepth 1 -type d | sort -r)
}

# Builds the installer from exactly the folder the zip holds.
build_installer() {
  local setup=$out/harlune-$version-win64-setup.exe lists=$out/nsis
  step "building the installer $setup"
  mkdir -p "$lists"
  write_installer_lists "$lists/install-files.nsh" "$lists/uninstall-files.nsh"
  # Windows wants four numbers in a file's version.
  local file_version=$version
  while [ "$(tr -cd . <<<"$file_version" | wc -c)" -lt 3 ]; do
    file_version=$file_version.0
  done
  makensis -V2 -INPUTCHARSET UTF8 \
    -DVERSION="$version" -DFILE_VERSION="$file_version" \
    -DINSTALL_FILES="$lists/install-files.nsh" -DUNINSTALL_FILES="$lists/uninstall-files.nsh" \
    -DSIZE_KB="$(du -sk "$stage" | cut -f1)" \
    -DICON="$repo/packaging/harlune.ico" -DOUTFILE="$setup" \
    "$repo/packaging/harlune.nsi" || die "makensis failed"
  ls -l "$out/harlune-$version-win64.zip" "$setup"
}

# Runs the program once under Wine, when Wine is there.
smoke_test() {
  if [ ! -x "$wine" ]; then
    step "wine64 is not installed; no smoke test"
    return
  fi
  step "smoke test: harlune.exe --version under Wine"
  WINEPREFIX="$cache/wine" WINEDEBUG=-all "$wine" "$stage/harlune.exe" --version ||
    die "harlune.exe --version failed under Wine"
}

write_toolchain
build_qtbase
build_qtserialport
build_libxlsxwriter
build_qcustomplot
build_harlune
version=$(project_version)
pack
build_installer
smoke_test
