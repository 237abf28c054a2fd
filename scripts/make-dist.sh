#!/usr/bin/env bash
# Makes the distribution from an i686 build: OUT/Pelmora/ holds what the
# user unpacks (the programs, Setup.exe, README.TXT with CR LF line ends
# and the Help folder) and OUT/PELMORA.ZIP is that folder as one file,
# byte for byte the same from the same sources (no time but the commit's
# inside).
#
#   make-dist.sh [BUILD_DIR [OUT]]      (defaults build/win9x and dist)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:-build/win9x}
out=${2:-dist}

for program in shell/Kromva32.exe setup/Quobrill.exe setup/Setup.exe; do
  if [[ ! -f "$build/$program" ]]; then
    echo "make-dist: $build/$program is missing; build $build first" >&2
    exit 1
  fi
done
if ! i686-w64-mingw32-objdump -f "$build/shell/Kromva32.exe" |
  grep -q 'file format pei-i386'; then
  echo "make-dist: $build is not the i686 (Windows 9x) build" >&2
  exit 1
fi

stage="$out/Pelmora"
rm -rf "$stage" "$out/PELMORA.ZIP"
mkdir -p "$stage/Help"
cp "$build/shell/Kromva32.exe" "$build/setup/Quobrill.exe" \
  "$build/setup/Setup.exe" "$stage/"
cp "$root/Help/Help.html" "$root/Help/Opinion.html" "$stage/Help/"
# Notepad on Windows 9x needs CR LF.
sed 's/\r$//; s/$/\r/' "$root/setup/dist/README.TXT" >"$stage/README.TXT"

# The time inside the ZIP is the commit's, so rebuilding a commit gives
# the same bytes.
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
export SOURCE_DATE_EPOCH
python3 "$here/make-zip.py" "$out/PELMORA.ZIP" "$stage"
echo "make-dist: $out/PELMORA.ZIP ($(stat -c %s "$out/PELMORA.ZIP") bytes)"
