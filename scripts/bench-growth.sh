#!/usr/bin/env bash
# How the library's large paths grow with the library: runs their benchmarks
# on the generated large library at RW_BENCH_SCALE 1, 4 and 16 (or the scales
# given as arguments) and prints each path's CPU median at each scale and
# its growth from the first scale to the last, beside its floor (the plain
# reading or file work it is measured against, in the same program) and the
# floor's, and the peak memory of the open benchmark. Path and floor are
# paired: each program runs its benchmarks RW_BENCH_REPETITIONS times
# (default 5), a round of all of them at a time in an order shuffled anew
# for each round (Google Benchmark's random interleaving), so that a path
# and its floor run side by side. Each round gives a ratio of path to
# floor; the table shows the median ratio at each scale with its range, and
# the growth of that median from the first scale to the last (a path should
# grow at most 1.2 times as much as its floor). A noisy moment then spoils
# one round's ratio, not a whole column. Each program runs once per scale (a
# run generates its library, which takes a while at 16x). Expects the
# benchmarks built (scripts/bench.sh or a build in build/).
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
  "open, policy 0|bench_open|BM_OpenLibrary/0/process_time|BM_Phase_Examine"
  "open after another program's edit, policy 0|bench_open|BM_OpenLibraryAfterEdit/0/process_time|BM_Phase_Examine"
  "housekeeping (whole upkeep)|bench_housekeep|BM_HouseKeep|BM_Floor_ReadEveryTable"
  "open without a window|bench_housekeep|BM_OpenLibrary/process_time|BM_Floor_ReadEveryTable"
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
repetitions=${RW_BENCH_REPETITIONS:-5}

# Runs one program at one scale with the benchmarks of its rows, every
# repetition reported, in an order shuffled anew for each round; the report
# is read whatever the exit status (a crash after the report loses nothing).
run_program() {
  local program=$1 scale=$2 filter="" row name prog bm floor
  for row in "${rows[@]}"; do
    IFS='|' read -r name prog bm floor <<<"$row"
    [ "$prog" = "$program" ] || continue
    filter+="${filter:+|}^${bm}\$"
    [ -z "$floor" ] || filter+="|^${floor}\$"
  done
  (cd /tmp && RW_BENCH_SCALE=$scale "$OLDPWD/$bench/$program" --benchmark_filter="$filter" \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true --benchmark_format=json) \
    >"$tmp/$program.$scale.json" 2>/dev/null || true
}

programs=()
for row in "${rows[@]}"; do
  IFS='|' read -r name program bm floor <<<"$row"
  [[ " ${programs[*]} " == *" $program "* ]] || programs+=("$program")
done

for scale in "${scales[@]}"; do
  for program in "${programs[@]}"; do run_program "$program" "$scale"; done
done

# The table: each path's CPU medians and growth, its floor's, the paired
# ratio at each scale (median of the rounds' ratios, with their range) and
# the growth of that ratio from the first scale to the last.
printf '%s\n' "${rows[@]}" >"$tmp/rows.txt"
python3 - "$tmp" "${scales[@]}" <<'PY'
import json, statistics, sys
folder, scales = sys.argv[1], sys.argv[2:]
with open(f"{folder}/rows.txt") as f:
    rows = [line.rstrip("\n").split("|") for line in f if line.strip()]
units = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

def rounds(program, scale, name):
    """CPU ms of each round of a benchmark, by its repetition index."""
    try:
        with open(f"{folder}/{program}.{scale}.json") as f:
            report = json.load(f)
    except (OSError, ValueError):
        return {}
    return {b.get("repetition_index", 0): b["cpu_time"] * units[b["time_unit"]]
            for b in report.get("benchmarks", [])
            if b.get("run_type") == "iteration" and b.get("run_name", b["name"]) == name
            and not b.get("error_occurred")}

def median(values):
    values = list(values)
    return statistics.median(values) if values else None

def growth(first, last):
    return last / first if first and last else None

def ms(value):
    return "-" if value is None else f"{value:.2f}"

def times(value, digits=1):
    return "-" if value is None else f"{value:.{digits}f}x"

columns = ["path"] + [f"{s}x (ms)" for s in scales] + ["growth", "floor"] + [f"{s}x (ms)" for s in scales]
columns += [f"{s}x path/floor [range]" for s in scales] + ["floor's growth", "growth / floor's"]
print("| " + " | ".join(columns) + " |")
print("|" + "---|" * len(columns))
for fields in rows:
    name, program, bm = fields[:3]
    floor = fields[3] if len(fields) > 3 else ""
    path = {s: rounds(program, s, bm) for s in scales}
    cells = [name] + [ms(median(path[s].values())) for s in scales]
    cells.append(times(growth(median(path[scales[0]].values()), median(path[scales[-1]].values()))))
    cells.append(floor or "-")
    if not floor:
        print("| " + " | ".join(cells + ["-"] * (2 * len(scales) + 2)) + " |")
        continue
    base = {s: rounds(program, s, floor) for s in scales}
    cells += [ms(median(base[s].values())) for s in scales]
    ratios = {}
    for s in scales:
        paired = [path[s][i] / base[s][i] for i in path[s] if base[s].get(i)]
        ratios[s] = median(paired)
        cells.append(f"{ratios[s]:.2f} [{min(paired):.2f}-{max(paired):.2f}]" if paired else "-")
    cells.append(times(growth(median(base[scales[0]].values()), median(base[scales[-1]].values()))))
    over = growth(ratios[scales[0]], ratios[scales[-1]])
    cells.append("-" if over is None else f"{over:.2f}")
    print("| " + " | ".join(cells) + " |")
PY

echo
echo "| peak memory of bench_open OpenLibrary/0 | MB |"
echo "|---|---|"
for scale in "${scales[@]}"; do
  (cd /tmp && RW_BENCH_SCALE=$scale /usr/bin/time -v "$OLDPWD/$bench/bench_open" \
    --benchmark_filter='^BM_OpenLibrary/0/process_time$' --benchmark_repetitions=3) >/dev/null 2>"$tmp/time.txt" || true
  kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$tmp/time.txt")
  echo "| ${scale}x | $((${kb:-0} / 1024)) |"
done
