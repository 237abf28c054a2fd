# The first stage that every end-to-end Wine script shares, sourced by
# tests/wine/*.sh: a fresh copy of the prefix template for the script, and
# the second stage run on a virtual X display with one Wine desktop.
#
#   wine_stage_prefix NAME BUILD_DIR PREFIX_TEMPLATE PROGRAM...
#     sets build, prefix and WINEPREFIX; fails when a program is missing
#   wine_stage_display SCRIPT DESKTOP WIDTHxHEIGHT
#     runs "SCRIPT --run" under Xvfb with BUILD, REPO, WINE and WINESERVER
#     exported, stops the prefix's server and exits with the run's status

wine_stage_prefix() {
  local name=$1 f
  build=$(realpath "$2")
  local template
  template=$(realpath -m "$3")
  shift 3
  for f in "$@"; do
    [[ -f "$build/$f" ]] || { echo "$name: $build/$f is missing" >&2; return 1; }
  done
  prefix="$build/wine-prefixes/$name"
  "$repo/scripts/wine-prefix.sh" "$template" "$prefix" || return 1
  export WINEPREFIX="$prefix"
}

wine_stage_display() {
  local script=$1 desktop=$2 size=$3 status
  # One virtual desktop, so the screenshots show the windows framed.
  "$repo/scripts/wine-desktop.sh" "$prefix" "$desktop" "$size"
  "$WINESERVER" -w
  export BUILD="$build" REPO="$repo" WINE WINESERVER
  xvfb-run -a -s '-screen 0 1024x768x24' bash "$script" --run
  status=$?
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  exit $status
}
