#!/bin/bash
# Setup.exe end to end under wine64 (the x86_64 build standing in for the
# i686 files of the ZIP): the unpacked ZIP file in C:\Download\Pelmora,
# Setup's dialog offering C:\Program Files\Pelmora, Install, Quobrill's
# opinion box and "Setup Completed"; then the files, the Start menu
# shortcuts (read back through IShellLinkA by linkreader.exe), the
# uninstall entry and the line in C:\autoexec.bat; Kromva32 started from
# the shortcut's target and folder; the uninstall entry's command, the
# removal copy's dialog and its last box; a restart that runs WININIT.INI.
# The prefix's files and registry are listed before the install and after
# the uninstall and must be the same, apart from WININIT.BAK, which
# Windows leaves of every restart that ran a WININIT.INI.
#
#   installer.sh BUILD_DIR PREFIX_TEMPLATE
#
# Leaves screenshots of Setup's dialogs in BUILD_DIR/setup-install.png and
# setup-remove.png, and the lists in BUILD_DIR/installer-{before,after}.txt.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
# No desktop menu entries outside the prefix for the shortcuts.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if [[ "${1:-}" != --run ]]; then
  source "$repo/scripts/wine-stage.sh"
  wine_stage_prefix installer "$1" "$2" setup/Setup.exe setup/Quobrill.exe \
    shell/Kromva32.exe tests/wine/boxreader/boxreader.exe \
    tests/wine/linkreader/linkreader.exe || exit 1
  wine_stage_display "$0" installer 800x600
fi

# Second stage, on the virtual display.
c="$WINEPREFIX/drive_c"
reader() { "$WINE" "$BUILD/tests/wine/boxreader/boxreader.exe" "$@" | tr -d '\r'; }
links() { "$WINE" "$BUILD/tests/wine/linkreader/linkreader.exe" "$@" | tr -d '\r'; }
failures=0
fail() { echo "installer: FAILED: $*"; failures=$((failures + 1)); }
check() { if [[ "$2" != "$3" ]]; then fail "$1: got [$2], expected [$3]"; fi; }
shot() { import -window root -crop 800x600+0+0 +repage "$1" || fail "no screenshot $1"; }
unix() { "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# Presses OK in the box with this caption and prints its text.
box_text() {
  reader wait "$1" 20 || { fail "no box \"$1\""; return; }
  reader dump "$1" | awk -F'|' '$1 == "Static" && $3 != "" { print $3 }'
  reader command "$1" 1
  reader gone "$1" 10 || fail "box \"$1\" did not close"
}
# Waits for a process started in the background and checks its exit code.
finish() {
  local status=0
  if ! timeout 60 tail --pid="$2" -f /dev/null; then
    fail "$1 did not end"
    kill "$2" 2>/dev/null
  fi
  wait "$2" || status=$?
  check "exit code of $1" "$status" 0
}

# Every file of the prefix's C: with its size and every registry value under
# the machine's and the user's Software keys; Wine's own bookkeeping (its
# font cache and the key of the last registry editor run) is left out.
listing() {
  "$WINESERVER" -w
  (cd "$c" && find . -path ./windows/Fonts -prune -o -printf '%y %s %p\n' |
    LC_ALL=C sort)
  reader registry HKLM Software | grep -v '^HKEY_LOCAL_MACHINE\\Software\\Wine'
  reader registry HKCU Software | grep -v '^HKEY_CURRENT_USER\\Software\\Wine'
}

# The unpacked ZIP file and a Windows 98 C:\autoexec.bat.
zip='C:\Download\Pelmora'
source_dir="$c/Download/Pelmora"
mkdir -p "$source_dir/Help"
cp "$BUILD/shell/Kromva32.exe" "$BUILD/setup/Quobrill.exe" \
  "$BUILD/setup/Setup.exe" "$source_dir/"
cp "$REPO/Help/Help.html" "$REPO/Help/Opinion.html" "$source_dir/Help/"
sed 's/$/\r/' "$REPO/setup/dist/README.TXT" >"$source_dir/README.TXT"
rm -f "$c"/[Aa][Uu][Tt][Oo][Ee][Xx][Ee][Cc].[Bb][Aa][Tt]
printf '@ECHO OFF\r\nPATH C:\\WINDOWS\r\n' >"$c/autoexec.bat"
autoexec_before=$(od -An -c "$c/autoexec.bat")
listing >"$BUILD/installer-before.txt"

echo "-- install"
"$WINE" "$zip\\Setup.exe" &
pid=$!
reader wait "Pelmora Setup" 20 || fail "no Setup dialog"
# An edit's text cannot be read from another process (GetWindowText gives
# its window title); the folder offered shows in the files below.
controls=$(reader dump "Pelmora Setup")
grep -qxF 'Button|1|&Install|0' <<<"$controls" || fail "no Install button: $controls"
sleep 1
shot "$BUILD/setup-install.png"
reader command "Pelmora Setup" 1
opinion=$(box_text "Please, leave your opinion.")
grep -q 'Help / Your Opinion' <<<"$opinion" || fail "opinion box: $opinion"
reader wait "Setup Completed" 20 || fail "no Setup Completed dialog"
reader click "Setup Completed" 1001
sleep 0.5
reader click "Setup Completed" 1000
finish "Setup" $pid

folder="$c/Program Files/Pelmora"
for name in Kromva32.exe Quobrill.exe Setup.exe README.TXT Help/Help.html \
  Help/Opinion.html; do
  cmp -s "$source_dir/$name" "$folder/$name" || fail "$name was not installed"
done
short=$(reader short 'C:\Program Files\Pelmora')
check "autoexec.bat after install" "$(head -1 "$c/autoexec.bat" | tr -d '\r')" \
  "@$short\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD"
# boxreader prints a value as KEY|NAME|TYPE|HEX (a string with its
# terminator).
entry_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora'
value() {
  reader registry HKLM "$entry_key" | awk -F'|' -v name="$1" '$2 == name { print $4 }' |
    python3 -c 'import sys; print(bytes.fromhex(sys.stdin.read().strip()).rstrip(b"\0").decode("latin-1"), end="")'
}
check "DisplayName" "$(value DisplayName)" Pelmora
check "UninstallString" "$(value UninstallString)" "$short\Setup.exe /uninstall"
check "InstallLocation" "$(value InstallLocation)" 'C:\Program Files\Pelmora'
group=$(value StartMenuGroup)
[[ -n "$group" ]] || fail "no Start menu group in the entry"
program=$(links "$group\\Pelmora.lnk")
check "Pelmora.lnk" "$(sed -n '1p;3p;4p' <<<"$program" | paste -sd'|')" \
  'C:\Program Files\Pelmora\Kromva32.exe|C:\Program Files\Pelmora|Pelmora'
help=$(links "$group\\Pelmora Help.lnk")
check "Pelmora Help.lnk" "$(sed -n 1p <<<"$help")" \
  'C:\Program Files\Pelmora\Help\Help.html'

echo "-- Kromva32 from the shortcut"
target=$(sed -n 1p <<<"$program")
start_in=$(sed -n 3p <<<"$program")
(cd "$(unix "$start_in")" && exec "$WINE" "$target") &
pid=$!
started=no
for _ in $(seq 1 40); do
  if reader wait Pelmora 1 && reader dump Pelmora | grep -q 'ListView'; then
    started=yes
    break
  fi
  # Wine has no 16-bit services: the DOS link's box comes first.
  if controls=$(reader dump Pelmora 2>/dev/null); then
    box=$(awk -F'|' '$1 == "Static" && $3 != "" { print $3 }' <<<"$controls")
    if [[ -n "$box" ]]; then
      # No drivemap.dat before the companion ran at a restart, and Wine has
      # no 16-bit services: both boxes come first and OK goes on.
      case "$box" in
        "Error opening file drivemap.dat : No such file or directory" | \
          "Error allocating MS-DOS memory. The program may function incorrectly.") ;;
        *) fail "Kromva32's box: $box" ;;
      esac
      reader command Pelmora 1
      sleep 0.5
    fi
  fi
done
[[ $started == yes ]] || fail "Kromva32 did not start from $target"
reader close Pelmora
finish "Kromva32" $pid

echo "-- uninstall"
uninstall=$(value UninstallString)
# shellcheck disable=SC2086 # the command and its switch, as Windows splits them
"$WINE" $uninstall &
pid=$!
reader wait "Pelmora Setup" 20 || fail "no removal dialog"
text=$(reader dump "Pelmora Setup" | awk -F'|' '$2 == 212 { print $3 }')
check "removal text" "$text" \
  'Setup removes Pelmora from C:\Program Files\Pelmora, from the Start menu and from the start of your computer.'
sleep 1
shot "$BUILD/setup-remove.png"
reader command "Pelmora Setup" 1
# The dialog stays while the removal runs; its last box has the same
# caption and comes once the dialog has closed.
done_text=
for _ in $(seq 1 60); do
  done_text=$(reader dump "Pelmora Setup" 2>/dev/null |
    awk -F'|' '$1 == "Static" && $3 != "" { print $3 }')
  [[ "$done_text" == "Pelmora has been removed from your computer." ]] && break
  sleep 0.5
done
check "last box" "$done_text" "Pelmora has been removed from your computer."
reader command "Pelmora Setup" 1
reader gone "Pelmora Setup" 10 || fail "the last box did not close"
finish "the uninstall command" $pid
"$WINESERVER" -w
check "autoexec.bat after uninstall" "$(od -An -c "$c/autoexec.bat")" "$autoexec_before"
[[ -e "$folder" ]] && fail "$folder is still there"
wininit=$(find "$c/windows" -maxdepth 1 -iname wininit.ini)
grep -qi '^NUL=.*\.exe' "$wininit" 2>/dev/null ||
  fail "no WININIT.INI line for the removal copy"
[[ -n "$(find "$c" -iname 'pel*.exe')" ]] || fail "no removal copy before the restart"
# The restart deletes the removal copy.
"$WINE" wineboot -r >/dev/null 2>&1
"$WINESERVER" -w
listing | grep -v ' \./windows/wininit\.bak$' >"$BUILD/installer-after.txt"
if ! diff "$BUILD/installer-before.txt" "$BUILD/installer-after.txt"; then
  fail "the prefix differs after the uninstall (lines above)"
fi

if [[ $failures -ne 0 ]]; then
  echo "installer: $failures FAILED"
  exit 1
fi
echo "installer: passed"
