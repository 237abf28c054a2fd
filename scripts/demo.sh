#!/usr/bin/env bash
# Runs Kromva32 of a wine build on the bundled demo machine: in a window on
# the current display, or on a virtual one with a screenshot when there is
# no display.
#
#   demo.sh BUILD_DIR        (for example build/wine)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}

# Second stage, on a display: start the program (and take a screenshot).
if [[ "${1:-}" == --run ]]; then
  "$WINE" 'C:\Pelmora\Kromva32.exe' &
  pid=$!
  if [[ -n "${SCREENSHOT:-}" ]]; then
    # Nobody is there to press the start-up box (Wine has no 16-bit
    # services, so the DOS link reports that it is missing): press its OK
    # so the picture shows the main window.
    reader="${BUILD:-}/tests/wine/boxreader/boxreader.exe"
    if [[ -f "$reader" ]]; then
      for _ in $(seq 1 20); do
        controls=$("$WINE" "$reader" dump Pelmora 2>/dev/null | tr -d '\r') || true
        grep -q ListView <<<"$controls" && break
        if grep -q '^Static|' <<<"$controls"; then
          "$WINE" "$reader" command Pelmora 1 >/dev/null 2>&1 || true
        fi
        sleep 0.5
      done
      sleep 1
    else
      sleep 4
    fi
    import -window root "$SCREENSHOT"
    echo "demo: screenshot in $SCREENSHOT"
    # Headless nobody can answer a box: end the run after the picture.
    "$WINESERVER" -k >/dev/null 2>&1 || true
  fi
  status=0
  wait $pid || status=$?
  echo "demo: Kromva32 ended with exit code $status"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  exit 0
fi

build=$(realpath "${1:-build/wine}")
program="$build/shell/Kromva32.exe"
[[ -f "$program" ]] || { echo "$0: build $build first" >&2; exit 1; }

prefixes="$build/wine-prefixes"
prefix="$prefixes/demo"
"$here/wine-prefix.sh" "$prefixes/template" "$prefix"
"$here/wine-machine.sh" "$here/../machines/demo" "$prefix" "$build/demo-drives"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One virtual desktop, so the screenshots show the windows framed.
"$here/wine-desktop.sh" "$prefix" pelmora 800x600
mkdir -p "$prefix/drive_c/Pelmora"
cp "$program" "$prefix/drive_c/Pelmora/Kromva32.exe"
# The help pages go beside the program, where F1 looks for them.
rm -rf "$prefix/drive_c/Pelmora/Help"
cp -r "$here/../Help" "$prefix/drive_c/Pelmora/Help"
export WINE WINESERVER BUILD="$build"

if [[ -n "${DISPLAY:-}" ]]; then
  "$0" --run
else
  SCREENSHOT="$build/demo.png" xvfb-run -a -s '-screen 0 1024x768x24' "$0" --run
fi
