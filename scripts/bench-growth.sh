#!/usr/bin/env bash
# How the library's large paths grow with the library: runs their benchmarks
# on the generated large library at RW_BENCH_SCALE 1, 4 and 16 (or the scales
# given as arguments) and prints the CPU medians of three runs, the growth from
# the first scale to the last, and the peak memory of the open benchmark. A
# floor row is the plain query its path is measured against, so a path's
# growth can be read beside its floor's. Each program runs once per scale (a
# run generates its library, which takes a while at 16x). Expects the
# benchmarks built (scripts/bench.sh or a build in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/bench
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(1 4 16)

# name|program|benchmark name of each row of the table.
rows=(
  "open, policy 0|bench_open|BM_OpenLibrary/0"
  "open after another program's edit, policy 0|bench_open|BM_OpenLibraryAfterEdit/0/process_time"
  "housekeeping (whole upkeep)|bench_housekeep|BM_HouseKeep"
  "open without a window|bench_housekeep|BM_OpenLibrary"
  "tree|bench_open|BM_Phase_Tree"
  "  floor: the tree's rows|bench_open|BM_Floor_TreeRows"
  "tag cloud|bench_open|BM_PopulateTagCloudTable"
  "  floor: the cloud's own counts|bench_open|BM_Floor_CloudOwnCounts"
  "tag step and fetch|bench_search|BM_TagStepAndFetch/tag:100/policy:0"
  "  the tag step alone|bench_search|BM_TagStep"
  "  the fetch of its rows alone|bench_search|BM_TagStepFetch"
  "  floor: its rows written and read bare|bench_search|BM_TagStepAndFetch_Floor/tag:100"
  "  baseline: a tag step through EXISTS and a bare fetch|bench_search|BM_TagStepAndFetch_Baseline/tag:100"
)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Runs one program at one scale with the benchmarks of its rows; the report is
# read whatever the exit status (a crash after the report loses nothing).
run_program() {
  local program=$1 scale=$2 filter="" row name prog bm
  for row in "${rows[@]}"; do
    IFS='|' read -r name prog bm <<<"$row"
    [ "$prog" = "$program" ] && filter+="${filter:+|}^${bm}\$"
  done
  (cd /tmp && RW_BENCH_SCALE=$scale "$OLDPWD/$bench/$program" --benchmark_filter="$filter" \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=json) \
    >"$tmp/$program.$scale.json" 2>/dev/null || true
}

# CPU median in milliseconds of one benchmark from a program's report.
median() {
  local report=$1 benchmark=$2
  jq -r --arg name "${benchmark}_median" '[.benchmarks[] | select(.name == $name)][0] |
         if . == null then "-" else
         (if .time_unit == "ms" then .cpu_time elif .time_unit == "us" then .cpu_time / 1000
          elif .time_unit == "ns" then .cpu_time / 1e6 else .cpu_time * 1000 end) * 10 | floor / 10 end' \
    "$report" 2>/dev/null || echo "-"
}

programs=()
for row in "${rows[@]}"; do
  IFS='|' read -r name program bm <<<"$row"
  [[ " ${programs[*]} " == *" $program "* ]] || programs+=("$program")
done

declare -A cpu
for scale in "${scales[@]}"; do
  for program in "${programs[@]}"; do run_program "$program" "$scale"; done
  for row in "${rows[@]}"; do
    IFS='|' read -r name program bm <<<"$row"
    cpu["$name|$scale"]=$(median "$tmp/$program.$scale.json" "$bm")
  done
done

header="| path |"
rule="|---|"
for scale in "${scales[@]}"; do header+=" ${scale}x (ms) |"; rule+="---|"; done
header+=" growth ${scales[0]}x->${scales[-1]}x |"
rule+="---|"
echo "$header"
echo "$rule"
for row in "${rows[@]}"; do
  IFS='|' read -r name program bm <<<"$row"
  line="| $name |"
  for scale in "${scales[@]}"; do line+=" ${cpu["$name|$scale"]} |"; done
  first=${cpu["$name|${scales[0]}"]}
  last=${cpu["$name|${scales[-1]}"]}
  line+=" $(awk -v a="$first" -v b="$last" 'BEGIN { printf (a + 0 > 0 ? "%.1fx" : "-"), b / (a + 0 > 0 ? a : 1) }') |"
  echo "$line"
done

echo
echo "| peak memory of bench_open OpenLibrary/0 | MB |"
echo "|---|---|"
for scale in "${scales[@]}"; do
  (cd /tmp && RW_BENCH_SCALE=$scale /usr/bin/time -v "$OLDPWD/$bench/bench_open" \
    --benchmark_filter='^BM_OpenLibrary/0$' --benchmark_repetitions=3) >/dev/null 2>"$tmp/time.txt" || true
  kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$tmp/time.txt")
  echo "| ${scale}x | $((${kb:-0} / 1024)) |"
done
