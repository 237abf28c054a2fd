#!/bin/bash
# Quobrill end to end under wine64: the bad-arguments box; install and
# uninstall as Windows 98 (the line at the head of C:\autoexec.bat) and as
# Windows Me (vmm32.vxd, vmm32.vx_, Kromvale.ini); the "Setup Completed"
# dialog, which Esc and the close box must not end. Boxes are read and
# pressed with boxreader.exe.
#
#   quobrill.sh BUILD_DIR PREFIX_TEMPLATE
#
# Leaves a screenshot of the dialog in BUILD_DIR/setup-completed.png.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [[ "${1:-}" != --run ]]; then
  source "$repo/scripts/wine-stage.sh"
  wine_stage_prefix quobrill "$1" "$2" setup/Quobrill.exe \
    tests/wine/boxreader/boxreader.exe || exit 1
  wine_stage_display "$0" quobrill 640x480
fi

# Second stage, on the virtual display.
c="$WINEPREFIX/drive_c"
app="$c/Program Files/Pelmora"
mkdir -p "$app"
cp "$BUILD/setup/Quobrill.exe" "$app/"
reader() { "$WINE" "$BUILD/tests/wine/boxreader/boxreader.exe" "$@" | tr -d '\r'; }
quobrill='C:\Program Files\Pelmora\Quobrill.exe'
failures=0
fail() { echo "quobrill: FAILED: $*"; failures=$((failures + 1)); }
check() { if [[ "$2" != "$3" ]]; then fail "$1: got [$2], expected [$3]"; fi; }
same_file() { cmp -s "$2" "$3" || fail "$1: $2 differs from $3"; }

# Starts Quobrill with the arguments given, in the background.
start() {
  "$WINE" "$quobrill" "$@" &
  pid=$!
}
# Waits for Quobrill to end and checks its exit code.
finish() {
  local status=0
  timeout 30 tail --pid=$pid -f /dev/null || fail "Quobrill $1 did not end"
  wait $pid || status=$?
  check "exit code of Quobrill $1" "$status" 0
}
# Reads the message box with this caption, then presses OK.
box_text() {
  reader wait "$1" 20 || { fail "no box \"$1\""; return; }
  reader dump "$1" | awk -F'|' '$1 == "Static" && $3 != "" { print $3 }'
  reader command "$1" 1
  reader gone "$1" 10 || fail "box \"$1\" did not close"
}
set_version() {
  "$WINESERVER" -w
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine]\n"Version"="%s"\n' \
    "$1" >"$c/version.reg"
  "$WINE" reg import 'C:\version.reg' >/dev/null 2>&1
  rm -f "$c/version.reg"
}
# The "Setup Completed" dialog: controls as they should be, Esc and the
# close box ignored, "Run Pelmora now." unticked, then Finish.
completed() {
  reader wait "Setup Completed" 20 || { fail "no Setup Completed dialog"; return; }
  local controls
  controls=$(reader dump "Setup Completed")
  # Controls without an id have 65535 (a 16-bit -1) in the template.
  for line in \
    "Static|65535|Setup has finished installing Pelmora on your computer.|-1" \
    "Button|1001|Run Pelmora now.|1" \
    "Static|65535|Click Finish to exit setup.|-1" \
    "Button|1000|&Finish|0"; do
    grep -qxF "$line" <<<"$controls" || fail "dialog lacks [$line]: $controls"
  done
  grep -q '^Static|108|' <<<"$controls" || fail "dialog lacks the picture 108"
  if [[ -n "${SCREENSHOT:-}" ]]; then
    sleep 1
    import -window root "$SCREENSHOT"
  fi
  xdotool search --name '^Setup Completed$' windowactivate --sync >/dev/null 2>&1
  xdotool key Escape
  sleep 1
  reader wait "Setup Completed" 1 || fail "Esc ended the dialog"
  reader close "Setup Completed"
  sleep 1
  reader wait "Setup Completed" 1 || fail "the close box ended the dialog"
  reader click "Setup Completed" 1001
  sleep 0.5
  reader dump "Setup Completed" | grep -qxF "Button|1001|Run Pelmora now.|0" ||
    fail "the check box did not untick"
  reader click "Setup Completed" 1000
  reader gone "Setup Completed" 10 || fail "Finish did not end the dialog"
}

echo "-- bad arguments"
start
text=$(box_text "Pelmora Setup Extension")
check "bad-arguments text" "$text" \
  "Bad arguments. ( This program may not run as a standalone application. )"
finish "without arguments"

echo "-- Windows 98: install and uninstall"
short=$(reader short 'C:\Program Files\Pelmora')
[[ -n "$short" ]] || fail "no short name of the application directory"
rm -f "$c"/[Aa][Uu][Tt][Oo][Ee][Xx][Ee][Cc].[Bb][Aa][Tt]
printf '@ECHO OFF\r\nREM c:\\old\\Kromvale.exe\r\nPATH C:\\WINDOWS\r\n' >"$c/autoexec.bat"
start /INSTALL 0
text=$(box_text "Please, leave your opinion.")
grep -q '"Help / Your Opinion" in the main menu.$' <<<"$text" ||
  fail "opinion text: $text"
SCREENSHOT="$BUILD/setup-completed.png" completed
finish "/install"
expected=$(printf '@%s\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD\r\n@ECHO OFF\r\nPATH C:\\WINDOWS\r\n' "$short" | od -An -c)
check "autoexec.bat after install" "$(od -An -c "$c/autoexec.bat")" "$expected"
[[ -e "$c/temp.tmp" ]] && fail "C:\\temp.tmp left behind"
start /uninstall 0
finish "/uninstall"
check "autoexec.bat after uninstall" "$(od -An -c "$c/autoexec.bat")" \
  "$(printf '@ECHO OFF\r\nPATH C:\\WINDOWS\r\n' | od -An -c)"

echo "-- Windows Me: install and uninstall"
set_version winme
system="$c/windows/system32"
work=$(mktemp -d)
cp "$REPO/machines/winme-setup/C/WINDOWS/SYSTEM/vmm32.vxd" "$work/original.vxd"
cp "$work/original.vxd" "$system/vmm32.vxd"
cp "$REPO/machines/winme-setup/C/Program Files/Pelmora/temp.bin" "$app/temp.bin"
cp "$app/temp.bin" "$work/temp.bin"
start /install 0
box_text "Please, leave your opinion." >/dev/null
completed
finish "/install on Windows Me"
same_file "vmm32.vxd after install" "$system/vmm32.vxd" "$work/temp.bin"
same_file "vmm32.vx_ after install" "$system/vmm32.vx_" "$work/original.vxd"
[[ -e "$app/temp.bin" ]] && fail "temp.bin still in the application directory"
check "Kromvale.ini" "$(od -An -c "$c/windows/Kromvale.ini" 2>&1)" \
  "$(printf '%s' "$short" | od -An -c)"
start /uninstall 0
finish "/uninstall on Windows Me"
same_file "vmm32.vxd after uninstall" "$system/vmm32.vxd" "$work/original.vxd"
[[ -e "$system/vmm32.vx_" ]] && fail "vmm32.vx_ left behind"
[[ -e "$c/windows/Kromvale.ini" ]] && fail "Kromvale.ini left behind"
ls "$c"/windows/temp/kro*.tmp >/dev/null 2>&1 && fail "safety copy left in TEMP"
rm -rf "$work"

if [[ $failures -ne 0 ]]; then
  echo "quobrill: $failures FAILED"
  exit 1
fi
echo "quobrill: all checks passed"
