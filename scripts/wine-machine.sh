#!/usr/bin/env bash
# Makes a Wine prefix look like one of our fixture machines: each drive of
# machines/<name>/machine.ini becomes a drive letter of that type, label and
# serial, backed by a copy of the drive's folder; C: keeps Wine's own
# Windows folder with the machine's C files merged in; the machine's
# registry.reg is imported.
#
#   wine-machine.sh MACHINE_DIR PREFIX WORK_DIR
#
# PREFIX must be a fresh clone (scripts/wine-prefix.sh); WORK_DIR receives
# the drives' copies. The Wine server of PREFIX is stopped at the end.
set -euo pipefail
if [[ $# -ne 3 ]]; then
  echo "usage: $0 MACHINE_DIR PREFIX WORK_DIR" >&2
  exit 2
fi
machine=$(realpath "$1")
prefix=$(realpath "$2")
work=$(realpath -m "$3")
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

"$WINESERVER" -k >/dev/null 2>&1 || true
"$WINESERVER" -w >/dev/null 2>&1 || true
rm -rf "$work"
mkdir -p "$work"

# "[Drive X]" sections: letter, then Type/Label/Serial.
mapfile -t drives < <(awk -F= '
  /^\[Drive [A-Z]\]/ { if (l != "") print l "|" t "|" lb "|" s; l = substr($0, 8, 1); t = ""; lb = ""; s = ""; next }
  /^\[/ { if (l != "") print l "|" t "|" lb "|" s; l = ""; next }
  l != "" && $1 == "Type" { t = $2 }
  l != "" && $1 == "Label" { lb = $2 }
  l != "" && $1 == "Serial" { s = $2 }
  END { if (l != "") print l "|" t "|" lb "|" s }' "$machine/machine.ini" | tr -d '\r')

regfile="$work/drives.reg"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n' >"$regfile"
rm -f "$prefix/dosdevices/z:"
for entry in "${drives[@]}"; do
  IFS='|' read -r letter type label serial <<<"$entry"
  lower=$(tr 'A-Z' 'a-z' <<<"$letter")
  if [[ "$letter" == C ]]; then
    root="$prefix/drive_c"
  else
    root="$work/$letter"
    mkdir -p "$root"
    ln -sfn "$root" "$prefix/dosdevices/$lower:"
  fi
  [[ -d "$machine/$letter" ]] && cp -a "$machine/$letter/." "$root/"
  find "$root" -name .keep -delete
  case "$type" in
    removable) wtype=floppy ;; cdrom) wtype=cdrom ;; remote) wtype=network ;;
    ramdisk) wtype=ramdisk ;; *) wtype=hd ;;
  esac
  printf '"%s:"="%s"\n' "$lower" "$wtype" >>"$regfile"
  [[ -n "$label" ]] && printf '%s' "$label" >"$root/.windows-label"
  [[ -n "$serial" ]] && printf '%s' "${serial//-/}" >"$root/.windows-serial"
done

cp "$regfile" "$prefix/drive_c/pelmora-drives.reg"
cp "$machine/registry.reg" "$prefix/drive_c/pelmora-machine.reg"
"$WINE" reg import 'C:\pelmora-drives.reg' >/dev/null 2>&1
"$WINE" reg import 'C:\pelmora-machine.reg' >/dev/null 2>&1
rm -f "$prefix/drive_c/pelmora-drives.reg" "$prefix/drive_c/pelmora-machine.reg"
"$WINESERVER" -w
