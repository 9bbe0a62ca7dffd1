#!/usr/bin/env bash
# Installs, from Debian 12 packages, everything Harlune needs to build, test and run.
# Groups named on the command line add what only some scripts need:
#   package   lintian and the desktop-file and AppStream checkers (scripts/package.sh)
#   windows   the MinGW-w64 cross compiler, what builds Qt from source and the
#             installer (scripts/build-windows.sh), and what runs the Windows
#             build under Wine (scripts/test-windows.sh)
#   icon      the SVG renderer and .ico writer (scripts/make-ico.sh)
#   fuzz      clang with libFuzzer (scripts/fuzz.sh)
#   format    clang-format (scripts/format.sh)
# Idempotent: packages already present are left alone, and `apt-get update` runs
# only when something is missing. Works as root (CI) or through sudo.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config
  # Qt 6: Widgets, SerialPort, Test, and the platform plugins (offscreen, xcb)
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-qpa-plugins libgl-dev
  # the SVG icon engine, which draws the window icon
  libqt6svg6
  # workbook writer
  libxlsxwriter-dev
  # the plots: QCustomPlot 2.1 built for Qt 6 (the header and CMake package,
  # and the shared library the program runs with)
  libqcustomplot-dev libqcustomplot2.1-qt6
  # benchmarks
  libbenchmark-dev
  # Chinese UI texts
  fonts-noto-cjk
  # Qt's own Chinese texts, for the save dialog and the message boxes
  qt6-translations-l10n
  # lupdate and lrelease, which build the program's English texts, and the
  # CMake package that runs them (Qt6LinguistTools, qt_add_translations)
  qt6-l10n-tools qt6-tools-dev
  # tests read workbooks back with openpyxl; the export benchmark's baseline
  # is python3-xlsxwriter; LibreOffice converts .xls/.xlsm
  python3 python3-openpyxl python3-xlsxwriter libreoffice-calc-nogui
  # a virtual display, for running the demo on a machine without one (xvfb-run ./run.sh)
  xvfb xauth
)

for group in "$@"; do
  case "$group" in
    package)
      # dpkg-shlibdeps (dpkg-dev) computes the package's dependencies; file
      # lets CPack find the binaries to strip and inspect
      packages+=(dpkg-dev file lintian desktop-file-utils appstream)
      ;;
    windows)
      # apt-get source needs dpkg-source (dpkg-dev); Qt's build scripts need perl;
      # wine64 runs the built exe once as a smoke test; nsis builds the installer.
      # scripts/test-windows.sh reads the exes' resources (icoutils), finds the
      # window (x11-utils, xdotool), takes its picture (x11-apps' xwd, netpbm)
      # and reads the live values on it (tesseract-ocr)
      packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev perl xz-utils zip wine64 nsis
        icoutils x11-utils xdotool x11-apps netpbm tesseract-ocr)
      ;;
    icon)
      packages+=(librsvg2-bin icoutils)
      ;;
    fuzz)
      # scripts/fuzz.sh: clang with libFuzzer
      packages+=(clang libclang-rt-14-dev)
      ;;
    format)
      packages+=(clang-format)
      ;;
    *)
      echo "install-deps: unknown group '$group' (known: package, windows, icon, fuzz, format)" >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo is available" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
