#!/usr/bin/env bash
# Checks every product PE file of the given PE build folders: imports that
# Windows 95 OSR2 exports, and (i686 only) no instruction a 486 or Pentium
# lacks. The checkers' own self-tests run first, so a checker that cannot
# fail is caught too. The test runners are hosted, not products, and are
# left out.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

python3 "$here/check-pe-imports.py" --self-test
"$here/check-pe-instructions.sh" --self-test

status=0
for build in "$@"; do
  mapfile -t files < <(find "$build" -name '*.exe' -not -name 'contract_tests.exe' \
    -not -name 'framework_tests.exe' \
    -not -path '*/wine-prefixes/*' -not -path '*/_deps/*' -not -path '*/CMakeFiles/*' | sort)
  if [[ ${#files[@]} -eq 0 ]]; then
    echo "check-pe: no PE files in $build" >&2
    exit 1
  fi
  python3 "$here/check-pe-imports.py" "${files[@]}" || status=1
  # x86_64 code always has CMOV; only the i686 product is held to a 486.
  i686=()
  for f in "${files[@]}"; do
    i686-w64-mingw32-objdump -f "$f" 2>/dev/null | grep -q 'file format pei-i386' && i686+=("$f")
  done
  if [[ ${#i686[@]} -gt 0 ]]; then
    "$here/check-pe-instructions.sh" "${i686[@]}" || status=1
  fi
done
exit $status
