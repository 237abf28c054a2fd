#!/bin/bash
# The drive list view over a real list-view control under wine64: the
# demo program shows it on the prefix's drives (Wine's C: and Z:, and a
# CD-ROM D: added here) and writes what the control holds; the headings,
# the rows and their order by the Old column are checked, a screenshot is
# taken, and the window's close box ends the program.
#
#   drivelist.sh BUILD_DIR PREFIX_TEMPLATE
#
# Leaves the screenshot in BUILD_DIR/drive-list.png.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [[ "${1:-}" != --run ]]; then
  source "$repo/scripts/wine-stage.sh"
  wine_stage_prefix drivelist "$1" "$2" tests/wine/drivelist/DriveListDemo.exe \
    tests/wine/boxreader/boxreader.exe || exit 1
  # The CD-ROM: a folder with a label; links and drive types are read when
  # the server starts, so the link comes first.
  cd_root="$build/drivelist-drives/d"
  rm -rf "$cd_root"
  mkdir -p "$cd_root"
  printf 'PELMORA' >"$cd_root/.windows-label"
  ln -sfn "$cd_root" "$prefix/dosdevices/d:"
  cat >"$prefix/drive_c/drivelist.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"d:"="cdrom"
REG
  "$WINE" reg import 'C:\drivelist.reg' >/dev/null 2>&1
  rm -f "$prefix/drive_c/drivelist.reg"
  wine_stage_display "$0" drivelist 640x480
fi

# Second stage, on the virtual display.
c="$WINEPREFIX/drive_c"
output="$c/drivelist.txt"
# Installed as the product would be, with the map of letters that the
# DOS-mode companion writes at boot: nothing moved.
app="$c/Pelmora"
mkdir -p "$app"
cp "$BUILD/tests/wine/drivelist/DriveListDemo.exe" "$app/"
printf 'map\r\nA B C D E F G H I J K L M N O P Q R S T U V W X Y Z\r\n' \
  >"$app/drivemap.dat"
reader() { "$WINE" "$BUILD/tests/wine/boxreader/boxreader.exe" "$@" | tr -d '\r'; }
failures=0
fail() { echo "drivelist: FAILED: $*"; failures=$((failures + 1)); }
check() { if [[ "$2" != "$3" ]]; then fail "$1: got [$2], expected [$3]"; fi; }

rm -f "$output"
"$WINE" 'C:\Pelmora\DriveListDemo.exe' 'C:\drivelist.txt' &
pid=$!
# The window shows once the list is built. On the way the drive probes
# may find no MS-DOS memory under Wine and say so in a box, which is
# pressed away; any other box is a failure.
dos_memory="Error allocating MS-DOS memory. The program may function incorrectly."
shown=no
for _ in $(seq 1 30); do
  if reader wait "Drive List" 1; then
    shown=yes
    break
  fi
  if controls=$(reader dump Pelmora); then
    box=$(awk -F'|' '$1 == "Static" && $3 != "" { print $3 }' <<<"$controls")
    [[ "$box" == "$dos_memory" ]] || fail "box: $box"
    reader command Pelmora 1
    reader gone Pelmora 5 || fail "the box did not close"
  fi
done
[[ $shown == yes ]] || fail "no window \"Drive List\""
# The file is complete before the program waits for messages.
for _ in $(seq 1 100); do
  [[ -s "$output" ]] && break
  sleep 0.1
done
[[ -s "$output" ]] || fail "C:\\drivelist.txt was not written"
sleep 1
# The virtual desktop only.
import -window root -crop 640x480+0+0 +repage "$BUILD/drive-list.png" ||
  fail "no screenshot"

reader close "Drive List" || fail "could not close the window"
status=0
timeout 20 tail --pid=$pid -f /dev/null || fail "the program did not end"
wait $pid || status=$?
check "exit code" "$status" 0

if [[ -s "$output" ]]; then
  text=$(tr -d '\r' <"$output")
  echo "$text" | sed 's/^/  | /'
  headings=$(head -1 <<<"$text")
  check "headings" "$headings" \
    "$(printf 'New\tOld\tLabel\tType\tFile System\tTotal Size\tFree Space\tSerial')"
  old=$(tail -n +2 <<<"$text" | awk -F'\t' '{ print $2 }' | tr '\n' ' ')
  # Sorted by Old, as the view starts.
  check "Old column" "$old" "(C:) (D:) (Z:) "
  row_c=$(tail -n +2 <<<"$text" | awk -F'\t' '$2 == "(C:)"')
  [[ $(awk -F'\t' '{ print NF }' <<<"$row_c") == 8 ]] ||
    fail "the row of C: has not 8 texts: [$row_c]"
  [[ -n $(awk -F'\t' '{ print $4 }' <<<"$row_c") ]] || fail "C: has no type"
  check "label of D:" \
    "$(tail -n +2 <<<"$text" | awk -F'\t' '$2 == "(D:)" { print $3 }')" PELMORA
fi

if [[ $failures -ne 0 ]]; then
  echo "drivelist: $failures FAILED"
  exit 1
fi
echo "drivelist: all checks passed"
