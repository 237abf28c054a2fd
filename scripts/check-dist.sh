#!/usr/bin/env bash
# Checks a distribution made by make-dist.sh as the user gets it: the ZIP
# unpacked into a fresh folder holds exactly the staged files, every name a
# Windows 9x program or MS-DOS reads is 8.3, README.TXT is ASCII with CR LF
# line ends, and every PE file in it passes the import and instruction
# checks.
#
#   check-dist.sh [OUT]      (default dist)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-dist}
zip="$out/PELMORA.ZIP"
[[ -f "$zip" ]] || { echo "check-dist: $zip is missing" >&2; exit 1; }

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
python3 - "$zip" "$unpacked" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    bad = archive.testzip()
    if bad:
        sys.exit(f"check-dist: {bad} is damaged in the ZIP file")
    for info in archive.infolist():
        if info.create_system != 0 or info.extra:
            sys.exit(f"check-dist: {info.filename} is not a plain MS-DOS entry")
    archive.extractall(sys.argv[2])
PY
if ! diff -r "$out/Pelmora" "$unpacked" >/dev/null; then
  echo "check-dist: the ZIP file does not hold what $out/Pelmora holds" >&2
  diff -r "$out/Pelmora" "$unpacked" >&2 || true
  exit 1
fi

status=0
expected=$'Help/\nHelp/Help.html\nHelp/Opinion.html\nKromva32.exe\nQuobrill.exe\nREADME.TXT\nSetup.exe'
actual=$(cd "$unpacked" && find . -mindepth 1 | sed 's|^\./||; s|$||' |
  while read -r p; do [[ -d "$p" ]] && echo "$p/" || echo "$p"; done | LC_ALL=C sort)
if [[ "$actual" != "$expected" ]]; then
  echo "check-dist: the ZIP file holds" >&2
  echo "$actual" >&2
  status=1
fi
# The programs and README.TXT are 8.3; the help pages keep the names the
# program opens (Windows 9x gives them short aliases).
for name in Kromva32.exe Quobrill.exe Setup.exe README.TXT Help; do
  if ! [[ "$name" =~ ^[A-Za-z0-9_~-]{1,8}(\.[A-Za-z0-9]{1,3})?$ ]]; then
    echo "check-dist: $name is not an 8.3 name" >&2
    status=1
  fi
done
python3 - "$unpacked/README.TXT" <<'PY' || status=1
import sys
data = open(sys.argv[1], "rb").read()
if not data.endswith(b"\r\n"):
    sys.exit("check-dist: README.TXT does not end with CR LF")
if data.replace(b"\r\n", b"").count(b"\n") or data.replace(b"\r\n", b"").count(b"\r"):
    sys.exit("check-dist: README.TXT has a line end other than CR LF")
if any(b > 126 or (b < 32 and b not in (10, 13)) for b in data):
    sys.exit("check-dist: README.TXT holds a character other than printable ASCII")
for number, line in enumerate(data.split(b"\r\n"), 1):
    if len(line) > 78:
        sys.exit(f"check-dist: README.TXT line {number} is longer than 78 characters")
PY
"$here/check-pe.sh" "$unpacked" || status=1
[[ $status -eq 0 ]] && echo "check-dist: $zip passed"
exit $status
