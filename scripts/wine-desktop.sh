#!/bin/bash
# Makes a Wine prefix open its windows on one virtual desktop, so that a
# screenshot shows them framed.
#
#   wine-desktop.sh PREFIX NAME WIDTHxHEIGHT
#
# Uses WINE (default /usr/lib/wine/wine64); the prefix's server is left
# running.
set -euo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 PREFIX NAME WIDTHxHEIGHT" >&2
  exit 2
fi
prefix=$1 name=$2 size=$3
WINE=${WINE:-/usr/lib/wine/wine64}
reg="$prefix/drive_c/pelmora-desktop.reg"
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="%s"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"%s"="%s"\r\n' \
  "$name" "$name" "$size" >"$reg"
WINEPREFIX="$prefix" WINEDEBUG=-all "$WINE" reg import 'C:\pelmora-desktop.reg' >/dev/null 2>&1
rm -f "$reg"
