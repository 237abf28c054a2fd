#!/usr/bin/env bash
# Installs every Debian package the three builds and the tests need.
# Idempotent: when everything is there it only asks dpkg and returns.
set -euo pipefail

packages=(
  cmake ninja-build make g++ python3 libgtest-dev googletest
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64
  wine64 fonts-wine xvfb xauth xdotool imagemagick
  clang libclang-rt-14-dev
  libbenchmark-dev valgrind
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "deps: installing ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
  sudo=sudo
else
  sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# A mirror that lags the main archive can leave a package uninstallable;
# preferring the release itself settles it.
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" ||
  $sudo apt-get install -y -qq --no-install-recommends -t bookworm "${missing[@]}"
