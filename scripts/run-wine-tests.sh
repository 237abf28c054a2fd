#!/bin/bash
# Runs the Wine tests of a wine build: the seam's contract tests against
# the real Win32 platform, the window framework's tests over real windows
# and controls (on a virtual X display), and the freestanding probe
# program, whose output file must hold exactly the expected bytes. Each
# runs in its own copy of a Windows 98-like prefix under the build folder,
# with a timeout.
#
#   run-wine-tests.sh BUILD_DIR        (for example build/wine)
#
# Exits 0 when everything passed, nonzero otherwise.
set -uo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "$1") || exit 2
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
TIMEOUT=${WINE_TEST_TIMEOUT:-300}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

contract="$build/tests/contract/contract_tests.exe"
framework="$build/tests/framework/framework_tests.exe"
probe="$build/platform/win32/probe/pe_probe.exe"
console_probe="$build/platform/win32/probe/pe_probe_console.exe"
for program in "$contract" "$framework" "$probe" "$console_probe"; do
  if [ ! -f "$program" ]; then
    echo "$0: $program is missing; build $build first" >&2
    exit 1
  fi
done

prefixes="$build/wine-prefixes"
"$here/wine-prefix.sh" "$prefixes/template" || exit 1

# Stops the server of a prefix, so no process outlives the run.
stop_server() {
  WINEPREFIX="$1" "$WINESERVER" -k >/dev/null 2>&1 || true
  WINEPREFIX="$1" "$WINESERVER" -w >/dev/null 2>&1 || true
}

failures=0

echo "== contract tests (win32 world) =="
prefix="$prefixes/contract"
"$here/wine-prefix.sh" "$prefixes/template" "$prefix" || exit 1
WINEPREFIX="$prefix" timeout -k 10 "$TIMEOUT" "$WINE" "$contract" \
  --gtest_color=no
status=$?
stop_server "$prefix"
if [ $status -ne 0 ]; then
  [ $status -eq 124 ] && echo "contract tests: timed out after ${TIMEOUT}s"
  echo "contract tests: FAILED (exit status $status)"
  failures=$((failures + 1))
fi

echo "== framework tests (real windows) =="
prefix="$prefixes/framework"
"$here/wine-prefix.sh" "$prefixes/template" "$prefix" || exit 1
# One virtual desktop: without a window manager Wine waits about 2 s for
# every top-level window it destroys.
cat >"$prefix/drive_c/desktop.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="framework"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"framework"="640x480"
REG
WINEPREFIX="$prefix" "$WINE" reg import 'C:\desktop.reg' >/dev/null 2>&1
rm -f "$prefix/drive_c/desktop.reg"
stop_server "$prefix"
WINEPREFIX="$prefix" timeout -k 10 "$TIMEOUT" \
  xvfb-run -a -s '-screen 0 1024x768x24' "$WINE" "$framework" --gtest_color=no
status=$?
stop_server "$prefix"
if [ $status -ne 0 ]; then
  [ $status -eq 124 ] && echo "framework tests: timed out after ${TIMEOUT}s"
  echo "framework tests: FAILED (exit status $status)"
  failures=$((failures + 1))
fi

# Runs a probe program in a fresh prefix and compares the file it writes
# with the expected bytes (given as printf text).
# run_probe NAME PROGRAM OUTPUT EXPECTED ARGUMENTS...
run_probe() {
  local name=$1 program=$2 output=$3 expected_text=$4
  shift 4
  echo "== $name =="
  local prefix="$prefixes/$name"
  "$here/wine-prefix.sh" "$prefixes/template" "$prefix" || exit 1
  WINEPREFIX="$prefix" timeout -k 10 60 "$WINE" "$program" "$@"
  local status=$?
  stop_server "$prefix"
  local expected actual
  expected=$(printf "$expected_text" | od -An -c)
  actual=$(od -An -c "$prefix/drive_c/$output" 2>/dev/null)
  if [ $status -ne 0 ]; then
    echo "$name: FAILED (exit status $status)"
    failures=$((failures + 1))
  elif [ "$actual" != "$expected" ]; then
    echo "$name: FAILED: C:\\$output holds"
    echo "$actual"
    echo "instead of"
    echo "$expected"
    failures=$((failures + 1))
  else
    echo "$name: passed (exit 0, C:\\$output byte for byte as expected)"
  fi
}

# Static construction before WinMain, destruction after it (the last
# line), formatting, a virtual call and 64-bit division.
run_probe probe "$probe" probe.txt \
  'pelmora probe 42 00FF\r\nvirtual: square\r\ndivision: 1234567890\r\nconstructed: yes\r\ndestroyed\r\n' \
  'C:\probe.txt'
# msvcrt's argument parsing through our console entry point.
run_probe console-probe "$console_probe" args.txt \
  'argc=4\r\n[two words]\r\n[plain]\r\n' \
  'C:\args.txt' 'two words' plain

# End-to-end runs of the programs: each tests/wine/*.sh is called with the
# build folder and the prefix template, makes its own clone, and exits
# nonzero on failure.
for script in "$here"/../tests/wine/*.sh; do
  [ -e "$script" ] || continue
  name=$(basename "$script" .sh)
  echo "== $name =="
  if timeout -k 10 "$TIMEOUT" bash "$script" "$build" "$prefixes/template"; then
    echo "$name: passed"
  else
    echo "$name: FAILED"
    failures=$((failures + 1))
  fi
done

if [ $failures -ne 0 ]; then
  echo "Wine tests: $failures FAILED"
  exit 1
fi
echo "Wine tests: passed"
