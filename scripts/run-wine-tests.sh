#!/bin/bash
# Runs the Wine tests of a wine build: the seam's contract tests against
# the real Win32 platform, and the freestanding probe program, whose output
# file must hold exactly the expected bytes. Each runs in its own copy of a
# Windows 98-like prefix under the build folder, with a timeout.
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
probe="$build/platform/win32/probe/pe_probe.exe"
for program in "$contract" "$probe"; do
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

echo "== freestanding probe =="
prefix="$prefixes/probe"
"$here/wine-prefix.sh" "$prefixes/template" "$prefix" || exit 1
WINEPREFIX="$prefix" timeout -k 10 60 "$WINE" "$probe" 'C:\probe.txt'
status=$?
stop_server "$prefix"
expected=$(printf 'pelmora probe 42 00FF\r\nvirtual: square\r\ndivision: 1234567890\r\nconstructed: yes\r\ndestroyed\r\n' | od -An -c)
actual=$(od -An -c "$prefix/drive_c/probe.txt" 2>/dev/null)
if [ $status -ne 0 ]; then
  echo "probe: FAILED (exit status $status)"
  failures=$((failures + 1))
elif [ "$actual" != "$expected" ]; then
  echo "probe: FAILED: C:\\probe.txt holds"
  echo "$actual"
  echo "instead of"
  echo "$expected"
  failures=$((failures + 1))
else
  echo "probe: passed (exit 0, C:\\probe.txt byte for byte as expected)"
fi

if [ $failures -ne 0 ]; then
  echo "Wine tests: $failures FAILED"
  exit 1
fi
echo "Wine tests: passed"
