#!/usr/bin/env bash
# Measures what Kromva32 and Quobrill cost and prints one table, each row
# with its target and "held" or "OVER":
#   1 the platform calls the drive table's construction and build make on
#     the 26-letter machine (machines/bench-26), beside the least the
#     algorithms need there;
#   2 buildDriveTable's instructions for 4, 13 and 26 drives (callgrind);
#   3 the save's rewrite of CONFIG.SYS, AUTOEXEC.BAT and DRVSPACE.INI of
#     1 KB, 100 KB and 10 MB: time against cp of the same file, peak heap;
#   4 the win9x programs' sizes, Kromva32's private memory under wine64;
#   5 Kromva32's time to its first window (the splash, painted) under
#     wine64 against a minimal window program built and started the same
#     way; and, reported beside it, the time until its main window takes
#     input.
#
#   run-bench.sh            the whole table (make bench), about 5 minutes
#   run-bench.sh --quick    the sizes of row 4 only, on an existing win9x
#                           build (make test's PE check; row 1 is held by
#                           bench/StartupCallsTest.cpp in the native tests)
#   run-bench.sh --start    the sizes and the Wine rows only
#
# Exits nonzero when a row is over its target. The Google Benchmark runs
# and the tools' output go to build/bench/bench.log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
cd "$repo"
quick=0 start=0
[[ "${1:-}" == --quick ]] && quick=1
[[ "${1:-}" == --start ]] && start=1
JOBS=${JOBS:-2}
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
RUNS=${BENCH_RUNS:-5}

bench=build/bench
mkdir -p "$bench"
log="$bench/bench.log"
: >"$log"
if [[ $quick == 0 && $start == 0 ]]; then
  if [[ ! -f "$bench/build.ninja" ]]; then
    cmake -G Ninja -S . -B "$bench" -DCMAKE_BUILD_TYPE=Release \
      -DPELMORA_SANITIZE=OFF -DPELMORA_BENCH=ON >>"$log"
  fi
  cmake --build "$bench" -j "$JOBS" --target pelmora_bench >>"$log"
  make --no-print-directory JOBS="$JOBS" win9x >>"$log"
fi
program="$bench/bench/pelmora_bench"

status=0
over() { status=1; }
row() { # what measured target held(0/1)
  local verdict=held
  [[ "$4" == 1 ]] || { verdict=OVER; over; }
  printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$verdict"
}

echo "| row | measured | target | |"
echo "|---|---|---|---|"

# 1 and 3: the benchmark program's own rows. The simulated disks, and the
# files cp copies beside them, lie in memory where the host has it: a
# 10 MB rewrite on the host's disk waits for the host's writeback of the
# runs before it, which no Windows 9x disk shares and which swings the
# times by half.
if [[ $quick == 0 && $start == 0 ]]; then
  memory=
  if [[ -d /dev/shm && -w /dev/shm ]]; then
    memory=$(mktemp -d /dev/shm/pelmora-bench.XXXXXX)
  fi
  # The save's benchmarks only (the table's time rows), their 5
  # repetitions interleaved at random: a slow phase of the host then
  # meets some repetitions of each, not all of one.
  TMPDIR=${memory:-${TMPDIR:-/tmp}} "$program" \
    --benchmark_filter='BM_(Save|StreamCopy|Copy)/' \
    --benchmark_enable_random_interleaving=true 2>>"$log" || over
  if [[ -n "$memory" ]]; then rm -rf "$memory"; fi
fi

# 2: instructions of buildDriveTable alone, from the simulator's build of
# the list view (the table's construction and the machine's load are not
# counted).
if [[ $quick == 0 && $start == 0 ]]; then
  declare -A ir
  for n in 4 13 26; do
    out="$bench/callgrind.$n"
    valgrind --tool=callgrind --callgrind-out-file="$out" \
      --toggle-collect='DriveListView::buildDriveTable()' \
      "$program" --build "bench-$n" >>"$log" 2>&1
    ir[$n]=$(awk '/^summary:|^totals:/ { print $2; exit }' "$out")
  done
  for n in 4 13 26; do
    row "2 buildDriveTable, $n drives" \
      "${ir[$n]} instructions ($((ir[$n] / n)) per drive)" "linear" 1
  done
  # Linear: each drive added from 13 to 26 costs no more than 1.5 times
  # what each added from 4 to 13 did.
  read -r slope1 slope2 ratio < <(awk -v a="${ir[4]}" -v b="${ir[13]}" \
    -v c="${ir[26]}" 'BEGIN { s1 = (b - a) / 9; s2 = (c - b) / 13;
      printf "%d %d %.2f\n", s1, s2, s2 / s1 }')
  held=$(awk -v r="$ratio" 'BEGIN { print (r <= 1.5) ? 1 : 0 }')
  row "2 buildDriveTable, cost of a drive added" \
    "$slope1 (4 to 13), $slope2 (13 to 26): ${ratio} x" \
    "linear: later drives <= 1.5 x earlier ones" "$held"
fi

# 4: sizes of the product files, resources included.
size_row() { # file limit-KB
  local bytes
  bytes=$(stat -c %s "$1")
  row "4 size of $(basename "$1") (win9x)" "$bytes B ($((bytes / 1024)) KB)" \
    "<= $2 KB" "$([[ $bytes -le $(($2 * 1024)) ]] && echo 1 || echo 0)"
}
size_row build/win9x/shell/Kromva32.exe 256
size_row build/win9x/setup/Quobrill.exe 64

[[ $quick == 1 ]] && exit $status

# 4 and 5 under wine64: Kromva32 on the demo machine and the minimal
# window program, started alternately by the same timer in one prefix, so
# both meet the same Wine and the same load.
make --no-print-directory JOBS="$JOBS" wine >>"$log"
wine="$repo/build/wine"
prefixes="$wine/wine-prefixes"
prefix="$prefixes/bench"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scripts/wine-prefix.sh "$prefixes/template" "$prefix" >>"$log" 2>&1
scripts/wine-machine.sh machines/demo "$prefix" "$wine/bench-drives" >>"$log" 2>&1
# Windows on one virtual desktop, as in the other Wine scripts: without a
# window manager Wine waits 2 s for each hidden top-level window to be
# withdrawn, which would time Xvfb rather than the programs.
scripts/wine-desktop.sh "$prefix" bench 1024x768 >>"$log" 2>&1
WINEPREFIX="$prefix" "$WINESERVER" -w
mkdir -p "$prefix/drive_c/Pelmora"
cp "$wine/shell/Kromva32.exe" "$wine/bench/MinimalWindow.exe" \
  "$wine/bench/firstwindow.exe" "$prefix/drive_c/Pelmora/"
export WINEPREFIX="$prefix" WINE WINESERVER RUNS
timings="$bench/first-window.txt"
xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
  set -e
  "$WINESERVER" -p
  # One start of each first, so neither pays for loading Wine from disk.
  "$WINE" "C:\\Pelmora\\firstwindow.exe" 1 "C:\\Pelmora\\MinimalWindow.exe" "C:\\Pelmora" >/dev/null
  "$WINE" "C:\\Pelmora\\firstwindow.exe" 1 "C:\\Pelmora\\Kromva32.exe" "C:\\Pelmora" >/dev/null
  for i in $(seq 1 "$RUNS"); do
    printf "minimal "
    "$WINE" "C:\\Pelmora\\firstwindow.exe" 1 "C:\\Pelmora\\MinimalWindow.exe" "C:\\Pelmora" | tr -d "\r"
    printf "kromva32 "
    "$WINE" "C:\\Pelmora\\firstwindow.exe" 1 "C:\\Pelmora\\Kromva32.exe" "C:\\Pelmora" | tr -d "\r"
  done
  "$WINESERVER" -k || true
' >"$timings" 2>>"$log"
"$WINESERVER" -w >/dev/null 2>&1 || true
cat "$timings" >>"$log"
median() { # who column(4: ready ms, 7: private KB, 13: working set KB,
  #                  17: first window ms)
  awk -v who="$1" -v column="$2" '$1 == who { print $column }' "$timings" |
    sort -n | awk '{ v[n++] = $1 }
      END { print (n % 2) ? v[(n - 1) / 2] : (v[n / 2 - 1] + v[n / 2]) / 2 }'
}
k_ms=$(median kromva32 4)
m_ms=$(median minimal 4)
k_first=$(median kromva32 17)
m_first=$(median minimal 17)
k_kb=$(median kromva32 7)
m_kb=$(median minimal 7)
k_ws=$(median kromva32 13)
m_ws=$(median minimal 13)
row "4 private memory of Kromva32 after start-up (wine64, demo machine)" \
  "$k_kb KB, working set $k_ws KB (minimal window program: $m_kb KB, $m_ws KB)" \
  "reported" 1
ratio=$(awk -v k="$k_first" -v m="$m_first" 'BEGIN { printf "%.2f", k / m }')
row "5 time to first window under wine64 (Kromva32: the splash), median of $RUNS" \
  "$ratio x (Kromva32 $k_first ms, minimal window program $m_first ms)" \
  "<= 1.5 x" "$(awk -v r="$ratio" 'BEGIN { print (r <= 1.5) ? 1 : 0 }')"
ratio=$(awk -v k="$k_ms" -v m="$m_ms" 'BEGIN { printf "%.2f", k / m }')
row "5 time until the main window takes input under wine64, median of $RUNS" \
  "$ratio x (Kromva32 $k_ms ms, minimal window program $m_ms ms)" \
  "reported" 1
exit $status
