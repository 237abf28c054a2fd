#!/bin/sh
# Fails when an i686 program or object holds an instruction a 486 or a
# Pentium MMX lacks: CMOVcc, FCMOVcc, FCOMI/FCOMIP, FUCOMI/FUCOMIP (Pentium
# Pro and later). x86_64 code always has them and is not checked.
#
# Usage: check-pe-instructions.sh FILE...     (OBJDUMP overrides the tool)
#        check-pe-instructions.sh --self-test
set -u
OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}
PATTERN='[[:space:]](cmov[a-z]*|fcmov[a-z]*|fcomip?|fucomip?)([[:space:]]|$)'

check() {
  status=0
  for file in "$@"; do
    if ! listing=$("$OBJDUMP" -d --no-show-raw-insn "$file" 2>&1); then
      echo "$file: FAIL: $OBJDUMP could not disassemble it:"
      echo "$listing" | head -5
      status=1
      continue
    fi
    case "$listing" in
      *"file format pe-x86-64"* | *"file format pei-x86-64"*)
        echo "$file: FAIL: x86_64 code; only i686 files are checked"
        status=1
        continue
        ;;
    esac
    # Each hit with the function it is in, so the culprit can be found.
    hits=$(echo "$listing" | awk -v pattern="$PATTERN" '
      /^[0-9a-f]+ <.*>:$/ { symbol = $2 }
      $0 ~ pattern { print "  " symbol " " $0 }')
    if [ -n "$hits" ]; then
      count=$(echo "$hits" | wc -l)
      echo "$file: FAIL: $count instruction(s) a 486 lacks:"
      echo "$hits" | head -40
      status=1
    else
      echo "$file: passed (no CMOV/FCMOV/FCOMI/FUCOMI)"
    fi
  done
  return $status
}

self_test() {
  CC=${CC:-i686-w64-mingw32-gcc-win32}
  dir=$(mktemp -d) || exit 1
  trap 'rm -rf "$dir"' EXIT
  # A minimum and a floating compare: gcc uses CMOV and FCOMI for them on
  # i686 and neither on i486.
  cat >"$dir/t.c" <<'C'
int smaller(int a, int b) { return a < b ? a : b; }
int less(double a, double b) { return a < b; }
C
  failures=0
  "$CC" -O2 -march=i686 -c "$dir/t.c" -o "$dir/i686.o" || exit 1
  "$CC" -O2 -march=i486 -c "$dir/t.c" -o "$dir/i486.o" || exit 1
  if check "$dir/i686.o" >"$dir/out" 2>&1; then
    echo "self-test FAILED: CMOV in -march=i686 code was not found"
    failures=1
  elif ! grep -q cmov "$dir/out" || ! grep -q fcomi "$dir/out"; then
    echo "self-test FAILED: the report does not name cmov and fcomi:"
    cat "$dir/out"
    failures=1
  fi
  if ! check "$dir/i486.o" >"$dir/out" 2>&1; then
    echo "self-test FAILED: -march=i486 code was rejected:"
    cat "$dir/out"
    failures=1
  fi
  if [ $failures -eq 0 ]; then
    echo "check-pe-instructions self-test: passed"
  else
    echo "check-pe-instructions self-test: FAILED"
  fi
  return $failures
}

if [ "${1:-}" = "--self-test" ]; then
  self_test
  exit $?
fi
if [ $# -eq 0 ]; then
  echo "usage: $0 FILE... | --self-test" >&2
  exit 2
fi
check "$@"
