#!/usr/bin/env bash
# Benchmark (not a test): 10,000 LOG directives run by orvantis.exe under Wine
# with the progress window open and its list mirroring the log
# (displaylevel="all"), against the same run without a window. Runs A B A B
# ... and prints the medians and their ratio; the goal is at most 2x.
# Needs DISPLAY (Xvfb) and a Wine prefix (WINEPREFIX).
# Usage: bench/window_log.sh [BUILD_DIR (build/windows)] [RUNS (3)] [LINES (10000)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows} runs=${2:-3} lines=${3:-10000}
build=$(cd "$build" && pwd)
exe=$build/orvantis.exe
[ -x "$exe" ] || [ -f "$exe" ] || { echo "no $exe: build the Windows target first"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY"; exit 1; }
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
make_file() {  # make_file NAME WINDOW_ELEMENT
  {
    echo '<ORVANTIS log="'"$1"'.log"><ACTION name="Bench" version="1">'
    echo "$2"
    for ((i = 0; i < lines; i++)); do echo "<LOG text=\"line $i\"/>"; done
    echo '</ACTION></ORVANTIS>'
  } >"$work/$1.xml"
}
make_file window '<WINDOW type="create" titlewindow="orv-bench" openlistaction="true" displaylevel="all"/>'
make_file plain ''
# Seconds of one run.
timed() {
  rm -f "$work/$1.log" "$work/actions.ini"
  local start end
  start=$(date +%s.%N)
  (cd "$work" && "${WINE:-/usr/lib/wine/wine64}" "$exe" /f "$1.xml" /s >>"$work/wine.out" 2>&1) || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
# The machine may be shared: its load goes with the figures.
load() { cut -d' ' -f1-3 /proc/loadavg 2>/dev/null || echo unknown; }
echo "load before: $(load)"
declare -a with without
for ((r = 0; r < runs; r++)); do
  with+=("$(timed window)")
  without+=("$(timed plain)")
  echo "run $((r + 1)): window ${with[-1]} s, no window ${without[-1]} s"
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
mw=$(median "${with[@]}") mp=$(median "${without[@]}")
ratio=$(echo "scale=2; $mw / $mp" | bc)
echo "window_log: $lines LOG lines, median with window ${mw} s, without ${mp} s, ratio ${ratio}x (goal <= 2x); load after: $(load)"
