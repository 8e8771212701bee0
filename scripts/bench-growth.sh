#!/usr/bin/env bash
# How the library's large paths grow with the library: runs their benchmarks
# on the generated large library at RW_BENCH_SCALE 1, 4 and 16 (or the scales
# given as arguments) and prints the CPU medians of three runs, the growth from
# the first scale to the last, and the peak memory of the open benchmark. A
# path's floor (the plain reading or file work it is measured against, in the
# same program) stands beside it with its own growth, and the path's growth
# over its floor's: a path should grow at most 1.2 times as much as its floor.
# Each program runs once per scale (a run generates its library, which takes a
# while at 16x). Expects the benchmarks built (scripts/bench.sh or a build in
# build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/bench
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(1 4 16)

# name|program|benchmark name|its floor's benchmark name (none for a part of
# the path above it) of each row of the table. The floors: every page of the
# file read and checked once (the opens), every row of the tables the upkeep
# looks through read once (the upkeep), the tree's rows, the cloud's own
# counts, the step's rows written and read bare, and every file's path looked
# up once (on the mounted disks, all of the files missing or 1 % of them).
rows=(
  "open, policy 0|bench_open|BM_OpenLibrary/0|BM_Phase_Examine"
  "open after another program's edit, policy 0|bench_open|BM_OpenLibraryAfterEdit/0/process_time|BM_Phase_Examine"
  "housekeeping (whole upkeep)|bench_housekeep|BM_HouseKeep|BM_Floor_ReadEveryTable"
  "open without a window|bench_housekeep|BM_OpenLibrary|BM_Floor_ReadEveryTable"
  "tree|bench_open|BM_Phase_Tree|BM_Floor_TreeRows"
  "tag cloud|bench_open|BM_PopulateTagCloudTable|BM_Floor_CloudOwnCounts"
  "tag step and fetch|bench_search|BM_TagStepAndFetch/tag:100/policy:0|BM_TagStepAndFetch_Floor/tag:100"
  "  the tag step alone|bench_search|BM_TagStep"
  "  the fetch of its rows alone|bench_search|BM_TagStepFetch"
  "  baseline: a tag step through EXISTS and a bare fetch|bench_search|BM_TagStepAndFetch_Baseline/tag:100"
  "missing files, all missing|bench_open|BM_GetMissingFiles/missing_pct:100/process_time|BM_Floor_FileExists/missing_pct:100"
  "  reading the rows it finds, bare|bench_open|BM_Floor_ReadMissingRows/missing_pct:100"
  "  showing the files it finds alone|bench_open|BM_Floor_ShowMissingRows/missing_pct:100/process_time"
  "missing files, 1 % missing|bench_open|BM_GetMissingFiles/missing_pct:1/process_time|BM_Floor_FileExists/missing_pct:1"
)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Runs one program at one scale with the benchmarks of its rows; the report is
# read whatever the exit status (a crash after the report loses nothing).
run_program() {
  local program=$1 scale=$2 filter="" row name prog bm floor
  for row in "${rows[@]}"; do
    IFS='|' read -r name prog bm floor <<<"$row"
    [ "$prog" = "$program" ] || continue
    filter+="${filter:+|}^${bm}\$"
    [ -z "$floor" ] || filter+="|^${floor}\$"
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
          elif .time_unit == "ns" then .cpu_time / 1e6 else .cpu_time * 1000 end) * 100 | floor / 100 end' \
    "$report" 2>/dev/null || echo "-"
}

# The growth from the first figure to the last ("-" without both), and the
# first growth over the second.
growth() { awk -v a="$1" -v b="$2" 'BEGIN { if (a + 0 > 0 && b + 0 > 0) printf "%.1fx", b / a; else printf "-" }'; }
over() { awk -v g="${1%x}" -v f="${2%x}" 'BEGIN { if (g + 0 > 0 && f + 0 > 0) printf "%.2f", g / f; else printf "-" }'; }

programs=()
for row in "${rows[@]}"; do
  IFS='|' read -r name program bm floor <<<"$row"
  [[ " ${programs[*]} " == *" $program "* ]] || programs+=("$program")
done

declare -A cpu
for scale in "${scales[@]}"; do
  for program in "${programs[@]}"; do run_program "$program" "$scale"; done
  for row in "${rows[@]}"; do
    IFS='|' read -r name program bm floor <<<"$row"
    cpu["$name|$scale"]=$(median "$tmp/$program.$scale.json" "$bm")
    [ -z "$floor" ] || cpu["$name|floor|$scale"]=$(median "$tmp/$program.$scale.json" "$floor")
  done
done

header="| path |"
rule="|---|"
for scale in "${scales[@]}"; do header+=" ${scale}x (ms) |"; rule+="---|"; done
header+=" growth | floor |"
rule+="---|---|"
for scale in "${scales[@]}"; do header+=" ${scale}x (ms) |"; rule+="---|"; done
header+=" floor's growth | growth / floor's |"
rule+="---|---|"
echo "$header"
echo "$rule"
for row in "${rows[@]}"; do
  IFS='|' read -r name program bm floor <<<"$row"
  line="| $name |"
  for scale in "${scales[@]}"; do line+=" ${cpu["$name|$scale"]} |"; done
  path_growth=$(growth "${cpu["$name|${scales[0]}"]}" "${cpu["$name|${scales[-1]}"]}")
  line+=" $path_growth | ${floor:--} |"
  for scale in "${scales[@]}"; do line+=" ${cpu["$name|floor|$scale"]:--} |"; done
  if [ -n "$floor" ]; then
    floor_growth=$(growth "${cpu["$name|floor|${scales[0]}"]}" "${cpu["$name|floor|${scales[-1]}"]}")
    line+=" $floor_growth | $(over "$path_growth" "$floor_growth") |"
  else
    line+=" - | - |"
  fi
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
