#!/bin/bash
# Prepares Wine prefixes for test runs. A new prefix takes 10-15 s, a copy
# of one about 2 s, so one template is made once and cloned per run.
#
#   wine-prefix.sh TEMPLATE            make the template (once; a no-op when
#                                      it is complete)
#   wine-prefix.sh TEMPLATE CLONE      make the template if needed, then
#                                      replace CLONE with a fresh copy
#
# The template behaves like Windows 98 (GetVersionEx gives 4.10), never
# shows a crash dialog (it would hang a headless run) and never asks for
# Mono or Gecko.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 TEMPLATE [CLONE]" >&2
  exit 2
fi
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

template=$(realpath -m "$1")
ready="$template/.pelmora-ready"

if [ ! -e "$ready" ]; then
  rm -rf "$template"
  mkdir -p "$template"
  export WINEPREFIX="$template"
  # wineboot's status is not reliable: without 32-bit Wine it reports the
  # missing syswow64 programs and may fail a prefix that is fine. The
  # registry files, written when the server ends, show whether it worked.
  "$WINE" wineboot -i >"$template.log" 2>&1 || true
  "$WINESERVER" -w
  if [ ! -f "$template/system.reg" ] || [ ! -f "$template/user.reg" ]; then
    echo "$0: wineboot -i did not make a prefix in $template:" >&2
    tail -20 "$template.log" >&2
    exit 1
  fi
  rm -f "$template.log"
  cat >"$template/drive_c/pelmora-prefix.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win98"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  if ! "$WINE" regedit /S 'C:\pelmora-prefix.reg' >/dev/null 2>&1; then
    echo "$0: regedit could not import the prefix settings" >&2
    exit 1
  fi
  rm -f "$template/drive_c/pelmora-prefix.reg"
  # The registry files are complete only once the server has ended.
  "$WINESERVER" -w
  if ! grep -q '"Version"="win98"' "$template/user.reg" ||
     ! grep -q '"ShowCrashDialog"=dword:00000000' "$template/user.reg"; then
    echo "$0: the prefix settings did not reach $template/user.reg" >&2
    exit 1
  fi
  touch "$ready"
fi

if [ $# -eq 2 ]; then
  clone=$(realpath -m "$2")
  case "$clone" in
    "$template" | "$template"/*)
      echo "$0: the clone must not be inside the template" >&2
      exit 2
      ;;
  esac
  rm -rf "$clone"
  mkdir -p "$(dirname "$clone")"
  cp -a "$template" "$clone"
  rm -f "$clone/.pelmora-ready"
fi
