#!/usr/bin/env bash
# The media paths beside their floors (build/bench/bench_media): Add Files
# per file beside a shell script of ffprobe and ffmpeg, and a 1080p frame
# grab beside a bare exact grab on the decoding libraries (and, for
# reference, beside the ffmpeg command line), run RUNS times (default 5)
# pinned to one core (taskset -c CORE, default 1) and RUNS times on every
# core. Each run times both sides on the same clips (generated with ffmpeg,
# or Add Files on RW_BENCH_MEDIA when set), so each ratio is paired; the
# medians of the runs are printed with the range of the paired ratios,
# wall-clock and CPU time (this program's threads, the script's child
# processes).
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
         ("1080p frame grab", "BM_GrabFrame1080p_Player", "BM_GrabFrame1080p_Bare", "ms_per_grab", "cpu_ms_per_grab", 1.2),
         ("  the command line", "BM_GrabFrame1080p_Player", "BM_GrabFrame1080p_Ffmpeg", "ms_per_grab", "cpu_ms_per_grab", None)]
failed = False
for label, title in (("pinned", f"pinned to core {core}"), ("every", "every core")):
    if label not in ways:
        continue
    results = []
    for i in range(1, runs + 1):
        with open(f"{folder}/{label}-{i}.json") as f:
            results.append({b["name"].split("/")[0]: b for b in json.load(f)["benchmarks"]})
    print(f"{title}, medians of {runs} paired runs (the range of the paired ratios in brackets):")
    print(f"  {'path':<20} {'program ms':>10} {'floor ms':>10} {'ratio':>17}   {'CPU ms':>8} {'floor CPU':>10} {'ratio':>17}  goal")
    for name, program, floor, wall, cpu, goal in pairs:
        med = lambda f: statistics.median(f(r) for r in results)
        pw, fw = med(lambda r: r[program][wall]), med(lambda r: r[floor][wall])
        pc, fc = med(lambda r: r[program][cpu]), med(lambda r: r[floor][cpu])
        ratios = [r[program][wall] / r[floor][wall] for r in results]
        cpu_ratios = [r[program][cpu] / r[floor][cpu] for r in results]
        ratio, cpu_ratio = statistics.median(ratios), statistics.median(cpu_ratios)
        shown = lambda m, rs: f"{m:.2f} ({min(rs):.2f}-{max(rs):.2f})"
        verdict = "-"
        if goal is not None:
            ok = ratio <= goal
            failed = failed or not ok
            verdict = f"<= {goal}x {'met' if ok else 'MISSED'}"
        print(f"  {name:<20} {pw:>10.1f} {fw:>10.1f} {shown(ratio, ratios):>17}   {pc:>8.1f} {fc:>10.1f} {shown(cpu_ratio, cpu_ratios):>17}  {verdict}")
    print()
sys.exit(1 if failed else 0)
EOF
