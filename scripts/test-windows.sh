#!/usr/bin/env bash
# Runs the Windows build from scripts/build-windows.sh under Wine against the
# simulated instrument, through a real COM port mapping, and runs its
# installer. Each step prints PASS, FAIL or SKIP (why); the script ends with a
# summary and exits 1 if a step failed.
#
# It needs: build-windows/ from scripts/build-windows.sh; Wine, Xvfb, xdotool,
# xwd, netpbm and tesseract (scripts/install-deps.sh windows installs them);
# the simulator build/harlune-sim, which it builds when it is missing.
#
# The simulator runs on a pseudo-terminal that a throwaway Wine prefix maps as
# COM5: Wine's HKLM\Software\Wine\Ports names the pty for COM5 and hides the
# machine's own serial ports from COM1 to COM16, which Harlune probes.
#
# Environment:
#   HARLUNE_TEST_GROUPS  groups the simulated instrument holds (default 2500)
#   HARLUNE_TEST_RANGE   the range harlune-cli.exe reads (default 1-<groups>)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
out=$repo/build-windows
work=$out/wine-test
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
sim=$repo/build/harlune-sim
screenshot_doc=$repo/docs/windows-wine.png

com_port=5
# Harlune probes COM1 to COM16; the prefix keeps all of them but one empty.
first_probed_port=1
last_probed_port=16
groups=${HARLUNE_TEST_GROUPS:-2500}
range=${HARLUNE_TEST_RANGE:-1-$groups}
range_first=${range%-*}
range_last=${range#*-}
# harlune-cli's exit code when no instrument answers.
cli_exit_no_instrument=3
# Starting Wine in a new prefix and a first window take a while.
window_timeout_s=90
link_timeout_s=60
live_timeout_s=30
cli_timeout_s=300
close_timeout_s=10
# Live readings as the value labels show them (12.34mA, 4.494A, 727.6kA,
# OL), whole words as OCR reads their large bold digits; "- -" while nothing
# is linked.
reading_pattern='[0-9]+(\.[0-9]+)?[mk]?A|OL'
# A window of one colour, or nearly, was not drawn.
fewest_colours=16

say() { echo "test-windows: $*" >&2; }
die() { say "$*"; exit 1; }

# ---------------------------------------------------------------- the steps

results=()
skip_reason=""
step_number=0

skip() {
  skip_reason=$1
  return 1
}

fail() {
  say "  $*"
  return 1
}

# Runs one step: its title, then PASS, FAIL or SKIP (why), and its time.
run_step() {
  local title=$1 outcome started elapsed
  shift
  step_number=$((step_number + 1))
  say "step $step_number: $title"
  skip_reason=""
  started=$EPOCHREALTIME
  if "$@"; then
    outcome=PASS
  elif [ -n "$skip_reason" ]; then
    outcome="SKIP ($skip_reason)"
  else
    outcome=FAIL
  fi
  elapsed=$(seconds_since "$started")
  say "step $step_number: $outcome [${elapsed} s]"
  results+=("$(printf '%2d  %-62s %s [%s s]' "$step_number" "$title" "$outcome" "$elapsed")")
}

seconds_since() {
  awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'
}

# ---------------------------------------------------------------- set-up

"$repo/scripts/install-deps.sh" windows

[ -f "$out/build/CMakeCache.txt" ] || die "no Windows build in $out; run scripts/build-windows.sh first"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/build/CMakeCache.txt")
stage=$out/harlune-$version-win64
setup=$out/harlune-$version-win64-setup.exe
[ -f "$stage/harlune.exe" ] || die "no $stage/harlune.exe; run scripts/build-windows.sh first"
[ -f "$setup" ] || die "no $setup; run scripts/build-windows.sh first"
[ -x "$wine" ] || die "no $wine; install wine64"

if [ ! -x "$sim" ]; then
  say "building the simulator build/harlune-sim"
  cmake -S "$repo" -B "$repo/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$repo/build" --target harlune-sim
fi

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
install_prefix=$work/install-prefix
port_dir=$work/ports
sim_pid=""
xvfb_pid=""
gui_pid=""

cleanup() {
  local p
  for p in "$prefix" "$install_prefix"; do
    [ -d "$p" ] && WINEPREFIX=$p "$wineserver" -k 2>/dev/null || true
  done
  for p in "$gui_pid" "$sim_pid" "$xvfb_pid"; do
    [ -n "$p" ] && kill "$p" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup EXIT INT TERM

export WINEDEBUG=-all
say "$("$wine" --version), $version, simulator with $groups groups on COM$com_port"

# A virtual display of its own, so that the window never lands on the user's.
start_xvfb() {
  local n
  for n in $(seq 90 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:$n
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return
    sleep 0.1
  done
  die "Xvfb did not start on :$n (see $work/xvfb.log)"
}
start_xvfb

# Runs a Windows program in the test prefix.
in_prefix() { WINEPREFIX=$prefix "$wine" "$@"; }

# The Windows name of a Linux path, through Wine's drive Z:.
windows_path() { echo "Z:${1//\//\\}"; }

# ---------------------------------------------------------------- file properties

# The resources of an exe: its subsystem (2 a window, 3 a console), an icon
# group, and a version resource whose FileVersion is this build's version.
check_exe_resources() {
  local exe=$1 subsystem=$2 description=$3 resources
  [ -f "$exe" ] || fail "no $exe" || return 1
  local found
  found=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/^Subsystem/ { print $2 + 0 }')
  [ "$found" = "$subsystem" ] || fail "$(basename "$exe"): subsystem $found, not $subsystem" || return 1
  say "  subsystem $found ($([ "$subsystem" = 2 ] && echo 'a window, no console' || echo 'a console'))"
  resources=$(wrestool -l "$exe")
  grep -q -- '--type=14' <<<"$resources" || fail "$(basename "$exe") has no icon" || return 1
  grep -q -- '--type=16' <<<"$resources" || fail "$(basename "$exe") has no version resource" || return 1
  local strings
  strings=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -c '[:print:]' '\n' | grep -v '^$')
  grep -qxF "$version" <<<"$strings" || fail "the version resource does not hold $version" || return 1
  grep -qxF "$description" <<<"$strings" || fail "FileDescription is not '$description'" || return 1
  say "  icon: $(grep -- '--type=14' <<<"$resources" | head -n1)"
  say "  version resource: FileVersion $version, FileDescription '$description'"
}

step_gui_properties() {
  check_exe_resources "$stage/harlune.exe" 2 "Harlune, for a three-channel current instrument"
}

step_cli_properties() {
  [ -f "$stage/harlune-cli.exe" ] || skip "harlune-cli.exe is not in the build yet" || return 1
  check_exe_resources "$stage/harlune-cli.exe" 3 "Harlune command line, for a three-channel current instrument"
}

# ---------------------------------------------------------------- the COM port

pty=""

step_com_port() {
  mkdir -p "$port_dir"
  "$sim" --port-dir "$port_dir" --port "$com_port" --groups "$groups" --line-rate \
    >"$work/sim.log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do
    [ -L "$port_dir/COM$com_port" ] && break
    sleep 0.1
  done
  pty=$(readlink "$port_dir/COM$com_port") || fail "the simulator did not link COM$com_port: $(cat "$work/sim.log")" || return 1
  say "  $(head -n1 "$work/sim.log")"

  WINEPREFIX=$prefix "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed (see $work/wineboot.log)" || return 1
  # Wine's mount manager gives each serial device of the machine (here
  # /dev/ttyS*) the first free COM name at every start, so a name left out
  # would be taken again; an empty value keeps a name free, and COM5 names
  # the pty. Harlune would otherwise probe the machine's own ports too.
  local n value
  for n in $(seq "$first_probed_port" "$last_probed_port"); do
    value=""
    [ "$n" -eq "$com_port" ] && value=$pty
    in_prefix reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$value" /f >/dev/null ||
      fail "cannot write HKLM\\Software\\Wine\\Ports\\COM$n" || return 1
  done
  # Wine passes no QT_* variable from Linux to a Windows program; the
  # user's environment in the registry reaches it. The serial log shows
  # which port the program opened; Qt writes it to stderr, not the debugger.
  in_prefix reg add 'HKCU\Environment' /v QT_LOGGING_RULES /d "harlune.serial.debug=true" /f >/dev/null
  in_prefix reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null
  WINEPREFIX=$prefix "$wineserver" -w
  # The links wineboot made before the keys existed; Wine makes them anew.
  rm -f "$prefix"/dosdevices/com*
  in_prefix cmd /c exit >/dev/null 2>&1
  local mapped
  mapped=$(readlink "$prefix/dosdevices/com$com_port") || fail "Wine made no dosdevices/com$com_port" || return 1
  [ "$mapped" = "$pty" ] || fail "com$com_port is $mapped, not $pty" || return 1
  for n in $(seq "$first_probed_port" "$last_probed_port"); do
    [ "$n" -eq "$com_port" ] && continue
    [ ! -e "$prefix/dosdevices/com$n" ] || fail "com$n is mapped too: $(readlink "$prefix/dosdevices/com$n")" || return 1
  done
  say "  dosdevices: $(cd "$prefix/dosdevices" && for l in com*; do printf '%s -> %s  ' "$l" "$(readlink "$l")"; done)"
}

# ---------------------------------------------------------------- harlune-cli.exe

cli_output=$work/cli

# Runs harlune-cli.exe in the prefix; its output in $cli_output.out and .err.
run_cli() {
  WINEPREFIX=$prefix timeout "$cli_timeout_s" "$wine" "$stage/harlune-cli.exe" "$@" \
    >"$cli_output.out" 2>"$cli_output.err"
}

cli_ready() {
  [ -f "$stage/harlune-cli.exe" ] || skip "harlune-cli.exe is not in the build yet" || return 1
  [ -n "$pty" ] || fail "needs the COM port of the set-up step"
}

step_cli_find() {
  cli_ready || return 1
  local status=0
  run_cli find || status=$?
  [ "$status" -ne "$cli_exit_no_instrument" ] || fail "exit $status: no instrument found; $(cat "$cli_output.err")" || return 1
  [ "$status" -eq 0 ] || fail "exit $status; $(cat "$cli_output.err")" || return 1
  say "  $(cat "$cli_output.out")"
  grep -q "^COM$com_port " "$cli_output.out" || fail "it did not name COM$com_port"
}

step_cli_count() {
  cli_ready || return 1
  run_cli --port "$com_port" count || fail "exit $?; $(cat "$cli_output.err")" || return 1
  local count
  count=$(tr -d '\r\n' <"$cli_output.out")
  say "  count: $count"
  [ "$count" = "$groups" ] || fail "the instrument holds $groups groups, harlune-cli.exe says $count"
}

# A console shows the Chinese messages whatever the prefix's code page: Wine
# gives a program on a terminal a console, which `script` provides here.
step_cli_console_text() {
  [ -f "$stage/harlune-cli.exe" ] || skip "harlune-cli.exe is not in the build yet" || return 1
  local shown=$work/console.txt
  WINEPREFIX=$prefix timeout "$cli_timeout_s" script -qec \
    "'$wine' '$stage/harlune-cli.exe' read -o out.txt" /dev/null >"$shown" 2>&1
  say "  $(tr -d '\r' <"$shown" | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | grep harlune-cli)"
  grep -q "扩展名未知" "$shown" || fail "the message did not reach the console in Chinese"
}

workbook=$work/out.xlsx
read_seconds=""

step_cli_read() {
  cli_ready || return 1
  local started=$EPOCHREALTIME
  run_cli --port "$com_port" read --range "$range" -o "$(windows_path "$workbook")" ||
    fail "exit $?; $(cat "$cli_output.err")" || return 1
  read_seconds=$(seconds_since "$started")
  say "  read-out of groups $range through COM$com_port: $read_seconds s under Wine"
  [ -s "$workbook" ] || fail "no workbook at $workbook"
}

# The reference for the cell-by-cell check: the same range read by the Linux
# harlune-cli from a second simulator with the same groups. Prints the
# reference's path, or nothing while there is no Linux harlune-cli.
reference_workbook() {
  local linux_cli=$repo/build/harlune-cli reference=$work/reference.xlsx ref_ports=$work/ref-ports ref_sim
  if [ ! -x "$linux_cli" ]; then
    say "  no reference: build/harlune-cli is not built by this tree yet; checking title, header, labels and row count only"
    return
  fi
  mkdir -p "$ref_ports"
  "$sim" --port-dir "$ref_ports" --port "$com_port" --groups "$groups" >"$work/ref-sim.log" 2>&1 &
  ref_sim=$!
  for _ in $(seq 50); do
    [ -L "$ref_ports/COM$com_port" ] && break
    sleep 0.1
  done
  local started=$EPOCHREALTIME status=0
  HARLUNE_PORT_DIR=$ref_ports "$linux_cli" --port "$com_port" read --range "$range" -o "$reference" \
    >"$work/ref-cli.log" 2>&1 || status=$?
  say "  reference read by the Linux harlune-cli in $(seconds_since "$started") s (exit $status)"
  kill "$ref_sim" 2>/dev/null || true
  wait "$ref_sim" 2>/dev/null || true
  [ "$status" -eq 0 ] && [ -s "$reference" ] && echo "$reference"
}

step_workbook() {
  cli_ready || return 1
  [ -s "$workbook" ] || fail "needs the workbook of the read-out step" || return 1
  local reference arguments=()
  reference=$(reference_workbook) || true
  [ -n "$reference" ] && arguments=(--reference "$reference")
  /usr/bin/python3 "$repo/scripts/windows/check_workbook.py" "$workbook" \
    --first "$range_first" --last "$range_last" "${arguments[@]}" >&2
}

step_cli_xls_without_office() {
  cli_ready || return 1
  local xls=$work/out.xls status=0
  run_cli --port "$com_port" read --range "$range_first-$range_first" \
    -o "$(windows_path "$xls")" || status=$?
  say "  exit $status: $(cat "$cli_output.err" "$cli_output.out")"
  [ "$status" -ne 0 ] || fail "it reported success without LibreOffice" || return 1
  [ ! -e "$xls" ] || fail "it left $xls behind" || return 1
  grep -q "LibreOffice" "$cli_output.err" "$cli_output.out" || fail "its message does not name LibreOffice"
}

# ---------------------------------------------------------------- harlune.exe

gui_log=$work/harlune.log
gui_started=""
window_id=""

step_gui_window() {
  [ -n "$pty" ] || fail "needs the COM port of the set-up step" || return 1
  WINEPREFIX=$prefix "$wineserver" -w
  gui_started=$EPOCHREALTIME
  (cd "$stage" && WINEPREFIX=$prefix exec "$wine" harlune.exe) >"$work/harlune.out" 2>"$gui_log" &
  gui_pid=$!
  local waited=0
  while [ "$waited" -lt "$window_timeout_s" ]; do
    window_id=$(xdotool search --onlyvisible --name '^Harlune$' 2>/dev/null | head -n1) || true
    [ -n "$window_id" ] && break
    sleep 1
    waited=$((waited + 1))
  done
  [ -n "$window_id" ] || fail "no visible window named Harlune after $window_timeout_s s" || return 1
  say "  window $window_id after $(seconds_since "$gui_started") s: $(xwininfo -id "$window_id" | awk '/Width|Height/ { printf "%s %s  ", $1, $2 }')"
}

step_gui_finds() {
  [ -n "$window_id" ] || fail "needs the window" || return 1
  local waited=0
  while [ "$waited" -lt "$link_timeout_s" ]; do
    grep -q "opened \"COM$com_port\"" "$gui_log" && break
    sleep 1
    waited=$((waited + 1))
  done
  grep "harlune.serial" "$gui_log" | head -n "$((com_port + 1))" | sed 's/^/  /' >&2
  grep -q "opened \"COM$com_port\"" "$gui_log" || fail "no 'opened \"COM$com_port\"' in the serial log ($gui_log)" || return 1
  say "  COM$com_port opened $(seconds_since "$gui_started") s after the start"
}

# Takes a picture of the window as PNG, and as PPM for the checks.
window_shot() {
  xwd -silent -id "$window_id" | xwdtopnm 2>/dev/null >"$1.ppm"
  pnmtopng <"$1.ppm" >"$1.png" 2>/dev/null
}

step_gui_live() {
  [ -n "$window_id" ] || fail "needs the window" || return 1
  local shot=$work/window waited=0 text="" colours
  while [ "$waited" -lt "$live_timeout_s" ]; do
    sleep 2
    waited=$((waited + 2))
    window_shot "$shot" || continue
    text=$(tesseract "$shot.ppm" - 2>/dev/null | grep -owE "$reading_pattern" | tr '\n' ' ') || true
    [ -n "$text" ] && break
  done
  colours=$(ppmhist -noheader "$shot.ppm" 2>/dev/null | wc -l)
  say "  the picture has $colours colours; OCR reads the readings: ${text:-none}"
  [ "$colours" -ge "$fewest_colours" ] || fail "the window is blank" || return 1
  [ -n "$text" ] || fail "no live reading on the window after $live_timeout_s s (picture: $shot.png)" || return 1
  cp "$shot.png" "$screenshot_doc"
  say "  picture of the window with live values: $screenshot_doc"
}

# Closes the window as a user would (taskkill without /f sends it WM_CLOSE),
# so Harlune closes its port; a program still there after that is ended.
stop_gui() {
  [ -n "$gui_pid" ] || return 0
  in_prefix taskkill /im harlune.exe >/dev/null 2>&1 || true
  local waited=0
  while kill -0 "$gui_pid" 2>/dev/null && [ "$waited" -lt "$close_timeout_s" ]; do
    sleep 1
    waited=$((waited + 1))
  done
  if kill -0 "$gui_pid" 2>/dev/null; then
    say "harlune.exe did not close within $close_timeout_s s of WM_CLOSE; ending it"
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
  else
    say "harlune.exe closed on WM_CLOSE"
  fi
  wait "$gui_pid" 2>/dev/null || true
  gui_pid=""
}

step_fonts() {
  skip "Wine lists the Linux fonts through fontconfig, so Noto Sans CJK SC is found before any Windows font, and a Wine prefix has neither SimSun nor Microsoft YaHei; the fallback to Windows' Chinese fonts shows only on Windows"
}

# ---------------------------------------------------------------- the installer

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Harlune'
installed=""
start_menu_entry=""

in_install_prefix() { WINEPREFIX=$install_prefix "$wine" "$@"; }

step_install() {
  WINEPREFIX=$install_prefix "$wine" wineboot -i >"$work/wineboot-install.log" 2>&1 || fail "wineboot failed" || return 1
  in_install_prefix "$setup" /S || fail "the installer exited $?" || return 1
  WINEPREFIX=$install_prefix "$wineserver" -w
  installed="$install_prefix/drive_c/Program Files/Harlune"
  local file
  while IFS= read -r file; do
    [ -f "$installed/$file" ] || fail "not installed: $file" || return 1
  done < <(cd "$stage" && find . -type f -printf '%P\n')
  [ -f "$installed/uninstall.exe" ] || fail "no uninstall.exe" || return 1
  local extra
  extra=$(comm -13 <(cd "$stage" && find . -type f -printf '%P\n' | sort) \
    <(cd "$installed" && find . -type f -printf '%P\n' | grep -vx uninstall.exe | sort))
  [ -z "$extra" ] || fail "installed beyond the packed files: $extra" || return 1
  say "  $(cd "$installed" && find . -type f | wc -l) files in C:\\Program Files\\Harlune"
  start_menu_entry="$install_prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Harlune.lnk"
  [ -f "$start_menu_entry" ] || fail "no Start-menu entry at $start_menu_entry" || return 1
  grep -qa "harlune.exe" "$start_menu_entry" || fail "the Start-menu entry does not point at harlune.exe" || return 1
  say "  Start-menu entry: ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Harlune.lnk"
  local values
  values=$(in_install_prefix reg query "$uninstall_key" 2>/dev/null | tr -d '\r') ||
    fail "no key $uninstall_key" || return 1
  sed 's/^ */  /' <<<"$values" | grep REG_ >&2
  local name
  for name in DisplayName DisplayVersion Publisher DisplayIcon UninstallString QuietUninstallString NoModify NoRepair EstimatedSize; do
    grep -q "^ *$name " <<<"$values" || fail "the uninstall key has no $name" || return 1
  done
  grep -q "DisplayVersion *REG_SZ *$version$" <<<"$values" || fail "DisplayVersion is not $version"
}

step_uninstall() {
  [ -n "$installed" ] || fail "needs the installed program" || return 1
  # An NSIS uninstaller copies itself to the temporary folder and runs from
  # there; wineserver -w waits for it.
  in_install_prefix "C:\\Program Files\\Harlune\\uninstall.exe" /S || fail "the uninstaller exited $?" || return 1
  WINEPREFIX=$install_prefix "$wineserver" -w
  [ ! -e "$installed" ] || fail "still there: $(cd "$installed" && find . | tr '\n' ' ')" || return 1
  [ ! -e "$start_menu_entry" ] || fail "the Start-menu entry is still there" || return 1
  ! in_install_prefix reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall key is still there"
}

# ---------------------------------------------------------------- run

run_step "harlune.exe: a window program with icon and version" step_gui_properties
run_step "harlune-cli.exe: a console program with icon and version" step_cli_properties
run_step "simulator on a pty, mapped as COM$com_port in a new Wine prefix" step_com_port
run_step "harlune-cli.exe find" step_cli_find
run_step "harlune-cli.exe count" step_cli_count
run_step "harlune-cli.exe: Chinese messages on a console" step_cli_console_text
run_step "harlune-cli.exe read --range $range -o out.xlsx" step_cli_read
run_step "the workbook, cell by cell" step_workbook
run_step "harlune-cli.exe read -o out.xls without LibreOffice" step_cli_xls_without_office
run_step "harlune.exe: its window appears under Xvfb" step_gui_window
run_step "harlune.exe: finds the instrument on COM$com_port" step_gui_finds
run_step "harlune.exe: shows live values (picture, OCR)" step_gui_live
stop_gui
run_step "Chinese texts in Windows' Chinese fonts" step_fonts
run_step "installer /S: Program Files, Start menu, Apps and Features" step_install
run_step "uninstaller /S removes what was installed" step_uninstall

say "summary ($("$wine" --version), harlune $version):"
printf '  %s\n' "${results[@]}" >&2
[ -n "$read_seconds" ] && say "read-out of groups $range under Wine: $read_seconds s"
failed=$(printf '%s\n' "${results[@]}" | grep -c ' FAIL ' || true)
passed=$(printf '%s\n' "${results[@]}" | grep -c ' PASS ' || true)
skipped=$(printf '%s\n' "${results[@]}" | grep -c ' SKIP (' || true)
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
