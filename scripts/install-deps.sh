#!/usr/bin/env bash
# Installs, from Debian 12 packages, everything Harlune needs to build, test and run.
# Idempotent: packages already present are left alone, and `apt-get update` runs
# only when something is missing. Works as root (CI) or through sudo.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config
  # Qt 6: Widgets, SerialPort, Test, and the platform plugins (offscreen, xcb)
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-qpa-plugins libgl-dev
  # workbook writer
  libxlsxwriter-dev
  # benchmarks
  libbenchmark-dev
  # Chinese UI texts
  fonts-noto-cjk
  # Qt's own Chinese texts, for the save dialog and the message boxes
  qt6-translations-l10n
  # tests read workbooks back with openpyxl; the export benchmark's baseline
  # is python3-xlsxwriter; LibreOffice converts .xls/.xlsm
  python3 python3-openpyxl python3-xlsxwriter libreoffice-calc-nogui
  # a virtual display, for running the demo on a machine without one (xvfb-run ./run.sh)
  xvfb xauth
)

# Extra groups for the development scripts, by option.
for option in "$@"; do
  case "$option" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;   # scripts/fuzz.sh: libFuzzer
    *) echo "install-deps: unknown option $option" >&2; exit 2 ;;
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
