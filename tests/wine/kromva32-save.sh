#!/bin/bash
# A save of Kromva32 under wine64 on the demo machine (machines/demo), end to
# end: the CD-ROM E: gets R: and the network drive G: gets N:, Ctrl+S saves
# (no box), File > Exit asks only for the restart, which is declined; then
# Letters.ini, CONFIG.SYS and AUTOEXEC.BAT in the prefix and its persistent
# network connections hold byte for byte what tests/assign/DemoSaveTest.cpp
# predicts for the same machine without the letter-assignment driver, which
# Wine has not (tests/wine/expected/). Windows are read and worked with
# boxreader.exe; keys come from xdotool.
#
#   kromva32-save.sh BUILD_DIR PREFIX_TEMPLATE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [[ "${1:-}" != --run ]]; then
  source "$repo/scripts/wine-stage.sh"
  wine_stage_prefix kromva32-save "$1" "$2" shell/Kromva32.exe \
    tests/wine/boxreader/boxreader.exe || exit 1
  "$repo/scripts/wine-machine.sh" "$repo/machines/demo" "$prefix" \
    "$build/kromva32-save-drives" || exit 1
  wine_stage_display "$0" kromva32 800x600
fi

# Second stage, on the virtual display.
c="$WINEPREFIX/drive_c"
expected="$REPO/tests/wine/expected"
mkdir -p "$c/Pelmora"
cp "$BUILD/shell/Kromva32.exe" "$c/Pelmora/"
rm -rf "$c/Pelmora/Help"
cp -r "$REPO/Help" "$c/Pelmora/Help"
reader() { "$WINE" "$BUILD/tests/wine/boxreader/boxreader.exe" "$@" | tr -d '\r'; }
failures=0
fail() { echo "kromva32-save: FAILED: $*"; failures=$((failures + 1)); }
check() { if [[ "$2" != "$3" ]]; then fail "$1: got [$2], expected [$3]"; fi; }
# The text of a message box's Static controls, "" when none is up.
box_text() { reader dump Pelmora 2>/dev/null | awk -F'|' '$1 == "Static" && $3 != "" { print $3 }'; }

"$WINE" 'C:\Pelmora\Kromva32.exe' &
pid=$!
# Wine has no 16-bit services: the DOS link's box comes first, and OK lets
# the program go on (the native test answers it the same way).
dos_memory="Error allocating MS-DOS memory. The program may function incorrectly."
shown=no
for _ in $(seq 1 30); do
  if reader wait Pelmora 1 && reader dump Pelmora | grep -q 'ListView'; then
    shown=yes
    break
  fi
  box=$(box_text)
  if [[ -n "$box" ]]; then
    [[ "$box" == "$dos_memory" ]] || fail "box: $box"
    reader command Pelmora 1
    sleep 0.5
  fi
done
[[ $shown == yes ]] || { fail "no main window"; kill $pid; exit 1; }
sleep 1
rows() { reader list Pelmora | awk -F'|' '$1 == "row"'; }
new_of() { rows | awk -F'|' -v old="($1:)" '$4 == old { print $3 }'; }
selected() { rows | awk -F'|' '$2 == 1 { print $4 }'; }

echo "-- E: gets R:, G: gets N:"
xdotool search --name '^Pelmora$' windowactivate --sync >/dev/null 2>&1
# From A: down past C: and D: to the CD-ROM E:, then on past F: to G:.
xdotool key Down Down Down
sleep 0.5
check "selected row" "$(selected)" "(E:)"
xdotool type r
sleep 0.5
xdotool key Down Down
sleep 0.5
check "selected row" "$(selected)" "(G:)"
xdotool type n
sleep 1
check "New letters" "$(rows | awk -F'|' '{ printf "%s %s;", $4, $3 }')" \
  "(A:) A:;(C:) C:;(D:) D:;(E:) R:;(F:) F:;(G:) N:;"

echo "-- Ctrl+S"
xdotool key ctrl+s
sleep 2
check "box after the save" "$(box_text)" ""
[[ -f "$c/Pelmora/Letters.ini" ]] || fail "no C:\\Pelmora\\Letters.ini after the save"

echo "-- File > Exit, the restart declined"
reboot=$'The computer must be restarted before the changes will take effect.\nDo you want to reboot now ?'
reader command Pelmora 57665
if reader wait "child:$reboot" 10; then
  reader click "child:$reboot" 7
else
  fail "no restart question; boxes: $(box_text)"
fi
if timeout 20 tail --pid=$pid -f /dev/null; then
  status=0
  wait $pid || status=$?
  check "exit code" "$status" 0
else
  fail "the program did not end"
  kill $pid 2>/dev/null
fi

echo "-- what the save left"
same() {
  if [[ ! -f "$2" ]]; then
    fail "$1: no $2"
  elif ! cmp -s "$2" "$expected/$1"; then
    fail "$1 differs from the native prediction:"
    diff <(od -An -c "$expected/$1") <(od -An -c "$2")
  fi
}
same Letters.ini "$c/Pelmora/Letters.ini"
same CONFIG.SYS "$c/CONFIG.SYS"
same AUTOEXEC.BAT "$c/AUTOEXEC.BAT"
reader registry HKCU 'Network\Persistent' | LC_ALL=C sort >"$BUILD/kromva32-save-registry.txt"
same registry.txt "$BUILD/kromva32-save-registry.txt"
for left in Letters.tmp temp.tmp; do
  [[ -e "$c/Pelmora/$left" ]] && fail "C:\\Pelmora\\$left was left behind"
done

if [[ $failures -ne 0 ]]; then
  echo "kromva32-save: $failures FAILED"
  exit 1
fi
echo "kromva32-save: all checks passed"
