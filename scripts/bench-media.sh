#!/usr/bin/env bash
# The media paths beside their ffprobe/ffmpeg script (build/bench/bench_media):
# Add Files per file and a 1080p frame grab, run RUNS times (default 5)
# pinned to one core (taskset -c CORE, default 1) and RUNS times on every
# core. Each run times both sides on the same clips (generated with ffmpeg,
# or Add Files on RW_BENCH_MEDIA when set), so each ratio is paired; the
# medians of the runs are printed, wall-clock and CPU time (this program's
# threads, the script's child processes).
#
# Usage: scripts/bench-media.sh [CORE] [RUNS]
# RW_BENCH_WAYS=pinned or every runs one way only; RW_BENCH_PROGRAM names
# another build of the program (the one before a change, say).
set -euo pipefail
cd "$(dirname "$0")/.."
core=${1:-1}
runs=${2:-5}
ways=${RW_BENCH_WAYS:-pinned every}
bench=${RW_BENCH_PROGRAM:-build/bench/bench_media}
[ -x "$bench" ] || { echo "bench-media: build $bench first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

one_run() {  # $1: label, rest: the command prefix
  local label=$1
  shift
  for i in $(seq 1 "$runs"); do
    "$@" "$bench" --benchmark_format=json --benchmark_out="$out/$label-$i.json" --benchmark_out_format=json \
      >/dev/null 2>"$out/$label-$i.err" || { cat "$out/$label-$i.err" >&2; exit 1; }
  done
}

for way in $ways; do
  case $way in
    pinned) one_run pinned taskset -c "$core" ;;
    every) one_run every env ;;
    *) echo "bench-media: no way '$way'" >&2; exit 1 ;;
  esac
done

python3 - "$out" "$runs" "$core" $ways <<'EOF'
import json, statistics, sys
folder, runs, core, ways = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
pairs = [("Add Files per file", "BM_AddFiles_PerFile", "BM_Script_FfprobeAndFfmpegThumbnail", "ms_per_file", "cpu_ms_per_file", 1.0),
         ("1080p frame grab", "BM_GrabFrame1080p_Player", "BM_GrabFrame1080p_Ffmpeg", "ms_per_grab", "cpu_ms_per_grab", 0.5)]
failed = False
for label, title in (("pinned", f"pinned to core {core}"), ("every", "every core")):
    if label not in ways:
        continue
    results = []
    for i in range(1, runs + 1):
        with open(f"{folder}/{label}-{i}.json") as f:
            results.append({b["name"].split("/")[0]: b for b in json.load(f)["benchmarks"]})
    print(f"{title}, medians of {runs} paired runs:")
    print(f"  {'path':<20} {'program ms':>10} {'script ms':>10} {'ratio':>6}   {'CPU ms':>8} {'script CPU':>10} {'ratio':>6}  goal")
    for name, program, script, wall, cpu, goal in pairs:
        med = lambda f: statistics.median(f(r) for r in results)
        pw, sw = med(lambda r: r[program][wall]), med(lambda r: r[script][wall])
        pc, sc = med(lambda r: r[program][cpu]), med(lambda r: r[script][cpu])
        ratio = med(lambda r: r[program][wall] / r[script][wall])
        cpu_ratio = med(lambda r: r[program][cpu] / r[script][cpu])
        ok = ratio <= goal
        failed = failed or not ok
        print(f"  {name:<20} {pw:>10.1f} {sw:>10.1f} {ratio:>6.2f}   {pc:>8.1f} {sc:>10.1f} {cpu_ratio:>6.2f}  <= {goal}x {'met' if ok else 'MISSED'}")
    print()
sys.exit(1 if failed else 0)
EOF
