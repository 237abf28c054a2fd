#!/bin/bash
# The Device Properties dialog under wine64 on the demo machine
# (machines/demo), with a CD-ROM's device key added to the prefix's
# registry: no driver gives device nodes under Wine, so a test program
# runs ShowDeviceProperties on that key with the letters D,E and a count
# of 2. The dialog shows the key's texts and settings (a value of two
# bytes and a DWORD read as absent); a count of 27 typed into the edit is
# refused with the range message and the focus goes back to the edit; the
# up arrow key raises the count; a missing setting asks before it is
# created (Yes for Int 13 unit, No for Disconnect); OK writes the settings
# as one binary byte each and hands back the count. A second run, with a
# Yes and then Cancel, writes nothing; a third without a count (a drive
# outside a device group) has the count's controls disabled and empty. Windows are read and buttons pressed
# with boxreader.exe; keys come from xdotool.
#
#   deviceprops.sh BUILD_DIR PREFIX_TEMPLATE
#
# Edits are read with controltext.exe, built beside the test program.
# Leaves a screenshot of the dialog in BUILD_DIR/device-properties.png.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [[ "${1:-}" != --run ]]; then
  source "$repo/scripts/wine-stage.sh"
  wine_stage_prefix deviceprops "$1" "$2" \
    tests/wine/deviceprops/DevicePropsDemo.exe \
    tests/wine/deviceprops/controltext.exe \
    tests/wine/boxreader/boxreader.exe || exit 1
  "$repo/scripts/wine-machine.sh" "$repo/machines/demo" "$prefix" \
    "$build/deviceprops-drives" || exit 1
  # The device key, as Windows 98 keeps a SCSI CD-ROM's: texts, settings
  # of one byte, one of two bytes and one DWORD; Int13 is missing.
  cat >"$prefix/drive_c/deviceprops.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Enum\SCSI\PELMORA_CD-ROM\0000]
"DeviceDesc"="PELMORA CD-ROM"
"Class"="CDROM"
"RevisionLevel"="1.0A"
"SCSITargetID"="3"
"SCSILUN"="0"
"Removable"=hex:01
"DMACurrentlyUsed"=hex:00
"Disconnect"=hex:01,00
"SyncDataXfer"=dword:00000001
"AutoInsertNotification"=hex:01
REG
  "$WINE" reg import 'C:\deviceprops.reg' >/dev/null 2>&1
  rm -f "$prefix/drive_c/deviceprops.reg"
  wine_stage_display "$0" deviceprops 640x480
fi

# Second stage, on the virtual display.
c="$WINEPREFIX/drive_c"
output="$c/deviceprops.txt"
key='Enum\SCSI\PELMORA_CD-ROM\0000'
reader() { "$WINE" "$BUILD/tests/wine/boxreader/boxreader.exe" "$@" | tr -d '\r'; }
failures=0
fail() { echo "deviceprops: FAILED: $*"; failures=$((failures + 1)); }
check() { if [[ "$2" != "$3" ]]; then fail "$1: got [$2], expected [$3]"; fi; }
dialog="Device Properties"
# The text of a control of the dialog as it holds it, whether it is
# enabled, and its check state.
text_of() {
  "$WINE" "$BUILD/tests/wine/deviceprops/controltext.exe" "$dialog" "$1" |
    tr -d '\r' | cut -d'|' -f2-
}
enabled() {
  "$WINE" "$BUILD/tests/wine/deviceprops/controltext.exe" "$dialog" "$1" |
    tr -d '\r' | cut -d'|' -f1
}
checked() { reader dump "$dialog" | awk -F'|' -v id="$1" '$2 == id { print $4 }'; }
# The text of the message box captioned Pelmora, once it is there.
box_text() {
  reader wait Pelmora 10 || { echo "(no box)"; return; }
  reader dump Pelmora | awk -F'|' '$1 == "Static" && $3 != "" { print $3 }'
}
values() { reader registry HKLM "$key" | LC_ALL=C sort; }
# Runs the program with the letters D,E and the count (2 unless given) in
# the background.
start() {
  rm -f "$output"
  "$WINE" "$BUILD/tests/wine/deviceprops/DevicePropsDemo.exe" \
    'C:\deviceprops.txt' "$key" D,E "${1:-2}" &
  pid=$!
  reader wait "$dialog" 20 || fail "no dialog \"$dialog\""
  sleep 1
}
finish() {
  reader gone "$dialog" 10 || fail "the dialog did not close"
  timeout 20 tail --pid=$pid -f /dev/null || fail "the program did not end"
  local status=0
  wait $pid || status=$?
  check "exit code" "$status" 0
  check "result" "$(tr -d '\r' <"$output" 2>/dev/null | tr '\n' ' ')" "$1"
}

hex_row() { echo "HKEY_LOCAL_MACHINE\\$key|$1|$2|$3"; }
before=$(values)
check "imported key" "$(grep -c '|' <<<"$before")" 10

echo "-- the key's texts and settings"
start
check "device name" "$(text_of 1021)" "PELMORA CD-ROM"
check "device type" "$(text_of 1022)" "CDROM"
check "firmware revision" "$(text_of 1018)" "1.0A"
check "current letters" "$(text_of 1013)" "D,E"
check "count" "$(text_of 1040)" "2"
check "count enabled" "$(enabled 1040)" 1
check "up-down enabled" "$(enabled 1039)" 1
check "target id" "$(text_of 1016)" "3"
check "logical unit" "$(text_of 1017)" "0"
# Removable, Int 13 unit, DMA, Auto insert, Disconnect, Synchronous.
states=""
for id in 1010 1011 1012 1009 1007 1008; do states+="$(checked $id)"; done
check "check boxes" "$states" "100100"
if read -r left top right bottom < <(reader rect "$dialog"); then
  import -window root -crop $((right - left))x$((bottom - top))+$left+$top \
    +repage "$BUILD/device-properties.png" || fail "no screenshot"
else
  fail "no rectangle of the dialog"
fi

echo "-- the count: 27 refused, then 5 and the up arrow"
# The focus starts on the first control that takes it, the letters; Tab
# goes on to the count and selects its text.
xdotool key Tab
sleep 0.3
xdotool type 27
xdotool key Return
check "range message" "$(box_text)" "Please enter a whole number from 1 to 26."
reader command Pelmora 1
reader gone Pelmora 5 || fail "the range message did not close"
sleep 0.5
# The focus is back on the count with its text selected: typing replaces
# it, and the up-down control follows the arrow keys.
xdotool type 5
xdotool key Up
sleep 0.5
check "count after the up arrow" "$(text_of 1040)" "6"

echo "-- settings: a missing one created, one declined, one switched"
reader click "$dialog" 1011
check "question for Int13" "$(box_text)" \
  "The option \"Int 13 unit\" is not present in the Registry for this device. Do you want to create the correspondent value in the Registry ?"
reader command Pelmora 6
reader gone Pelmora 5 || fail "the question did not close"
reader click "$dialog" 1007
check "question for Disconnect" "$(box_text)" \
  "The option \"Disconnect\" is not present in the Registry for this device. Do you want to create the correspondent value in the Registry ?"
reader command Pelmora 7
reader gone Pelmora 5 || fail "the question did not close"
sleep 0.5
reader click "$dialog" 1010
sleep 0.5
states=""
for id in 1010 1011 1012 1009 1007 1008; do states+="$(checked $id)"; done
check "check boxes before OK" "$states" "010100"
reader click "$dialog" 1
finish "result 1 letters 6 "
check "values after OK" "$(values)" "$(
  {
    grep -v -e '|Removable|' -e '|DMACurrentlyUsed|' \
      -e '|AutoInsertNotification|' <<<"$before"
    hex_row Removable 3 00
    hex_row Int13 3 01
    hex_row DMACurrentlyUsed 3 00
    hex_row AutoInsertNotification 3 01
  } | LC_ALL=C sort
)"

echo "-- Cancel after a Yes writes nothing"
written=$(values)
start
reader click "$dialog" 1008
check "question for SyncDataXfer" "$(box_text)" \
  "The option \"Synchronous data transfer\" is not present in the Registry for this device. Do you want to create the correspondent value in the Registry ?"
reader command Pelmora 6
reader gone Pelmora 5 || fail "the question did not close"
sleep 0.5
reader click "$dialog" 2
finish "result 1 letters 2 "
check "values after Cancel" "$(values)" "$written"

echo "-- no count for a drive outside a device group"
start 0
check "count" "$(text_of 1040)" ""
check "count enabled" "$(enabled 1040)" 0
check "up-down enabled" "$(enabled 1039)" 0
# OK neither validates the empty count nor hands one back; the settings
# are written again as they were.
reader click "$dialog" 1
finish "result 1 letters 0 "
check "values after OK without a count" "$(values)" "$written"

if [[ $failures -ne 0 ]]; then
  echo "deviceprops: $failures FAILED"
  exit 1
fi
echo "deviceprops: all checks passed"
