#!/usr/bin/env bash
# How the open and the housekeeping grow with the library: runs their
# benchmarks on the generated large library at RW_BENCH_SCALE 1, 4 and 16 (or
# the scales given as arguments) and prints the CPU medians of three runs, the
# growth from the first scale to the last, and the peak memory of the open
# benchmark. Expects the benchmarks built (scripts/bench.sh or a build in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/bench
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(1 4 16)

# name|program|filter of each row of the table.
rows=(
  "open, policy 0|bench_open|^BM_OpenLibrary/0\$"
  "housekeeping (whole upkeep)|bench_housekeep|^BM_HouseKeep\$"
  "open without a window|bench_housekeep|^BM_OpenLibrary\$"
)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# CPU median in milliseconds of one benchmark at one scale. The figures are
# read from the report whatever the program's exit status (bench_open's
# static program can fail as the process exits, after the report).
median() {
  local program=$1 filter=$2 scale=$3 out=$4
  (cd /tmp && RW_BENCH_SCALE=$scale "$OLDPWD/$bench/$program" --benchmark_filter="$filter" \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_format=json) >"$out" \
    2>/dev/null || true
  jq -r '[.benchmarks[] | select(.aggregate_name == "median")][0] |
         (if .time_unit == "ms" then .cpu_time elif .time_unit == "us" then .cpu_time / 1000
          elif .time_unit == "ns" then .cpu_time / 1e6 else .cpu_time * 1000 end) | floor' "$out"
}

declare -A cpu
for scale in "${scales[@]}"; do
  for row in "${rows[@]}"; do
    IFS='|' read -r name program filter <<<"$row"
    cpu["$name|$scale"]=$(median "$program" "$filter" "$scale" "$tmp/out.json")
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
  IFS='|' read -r name program filter <<<"$row"
  line="| $name |"
  for scale in "${scales[@]}"; do line+=" ${cpu["$name|$scale"]} |"; done
  first=${cpu["$name|${scales[0]}"]}
  last=${cpu["$name|${scales[-1]}"]}
  line+=" $(awk -v a="$first" -v b="$last" 'BEGIN { printf "%.1fx", a > 0 ? b / a : 0 }') |"
  echo "$line"
done

echo
echo "| peak memory of bench_open OpenLibrary/0 | MB |"
echo "|---|---|"
for scale in "${scales[@]}"; do
  (cd /tmp && RW_BENCH_SCALE=$scale /usr/bin/time -v "$OLDPWD/$bench/bench_open" \
    --benchmark_filter='^BM_OpenLibrary/0$' --benchmark_repetitions=3) >/dev/null 2>"$tmp/time.txt" || true
  kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$tmp/time.txt")
  echo "| ${scale}x | $((kb / 1024)) |"
done
