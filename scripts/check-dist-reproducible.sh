#!/usr/bin/env bash
# Shows that the same commit gives the same PELMORA.ZIP: builds the i686
# programs again from `git archive HEAD` in a fresh folder elsewhere (other
# paths, another time), makes the distribution there and compares its ZIP
# byte for byte with OUT/PELMORA.ZIP, which must have been made from HEAD
# with no change to a tracked file.
#
#   check-dist-reproducible.sh [--if-clean] [OUT]      (default dist)
#
# With --if-clean (as `make test` runs it) a work tree with changes to
# tracked files is a notice and success, not a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
if_clean=no
if [[ "${1:-}" == --if-clean ]]; then
  if_clean=yes
  shift
fi
out=${1:-dist}
JOBS=${JOBS:-2}

if ! git -C "$root" rev-parse --verify -q HEAD >/dev/null ||
  ! git -C "$root" diff --quiet HEAD -- .; then
  if [[ $if_clean == yes ]]; then
    echo "check-dist-reproducible: skipped, the work tree differs from HEAD"
    exit 0
  fi
  echo "check-dist-reproducible: tracked files differ from HEAD; commit first" >&2
  exit 1
fi
[[ -f "$out/PELMORA.ZIP" ]] || { echo "check-dist-reproducible: no $out/PELMORA.ZIP" >&2; exit 1; }

exports=$(sed -n 's/^PELMORA_WIN9X_EXPORTS:PATH=//p' "$root/build/win9x/CMakeCache.txt" 2>/dev/null || true)
[[ -n "$exports" ]] || exports=$(realpath -m "$root/../shared/win9x-exports")
work=$(mktemp -d /tmp/pelmora-again.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
git -C "$root" archive HEAD | tar -x -C "$work/src"
cmake -G Ninja -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/toolchain-win9x.cmake" \
  -DPELMORA_WIN9X_EXPORTS="$exports" >/dev/null
cmake --build "$work/build" -j "$JOBS" --target Kromva32 Quobrill Setup >/dev/null
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct) \
  "$work/src/scripts/make-dist.sh" "$work/build" "$work/dist" >/dev/null
if cmp "$out/PELMORA.ZIP" "$work/dist/PELMORA.ZIP"; then
  echo "check-dist-reproducible: $out/PELMORA.ZIP is the same byte for byte" \
    "($(sha256sum <"$out/PELMORA.ZIP" | cut -c1-16)...)"
else
  for f in Kromva32.exe Quobrill.exe Setup.exe README.TXT; do
    cmp -s "$out/Pelmora/$f" "$work/dist/Pelmora/$f" || echo "  $f differs" >&2
  done
  exit 1
fi
