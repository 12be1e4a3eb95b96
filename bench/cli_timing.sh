#!/usr/bin/env bash
# Whole-process timing of `termdex-cli --json lookup tax` on the full-size dictionary: the median
# wall time over RUNS runs (target <= 10 ms) and the peak resident memory (target <= 40 MB), with
# the index snapshot current as at every start after the first; the median without the snapshot
# (the index files parsed, as at a first start) is printed for scale.
#
# usage: bench/cli_timing.sh [BUILD_DIR [RUNS]]
#   BUILD_DIR  the build folder holding termdex-cli and termdex-make-dictionary (default: build)
#   RUNS       timed runs (default 50)
# The dictionary is generated into a temporary folder, or taken from (and, when empty, generated
# into) the folder named by TERMDEX_BENCH_DICTIONARY. hyperfine is used when it is installed.
# Exit status: 0 when both targets are met, 1 when one is missed, 2 on a usage or setup error.
set -euo pipefail

build=${1:-build}
runs=${2:-50}
target_ms=10
target_mb=40
cli="$build/termdex-cli"
maker="$build/termdex-make-dictionary"

for program in "$cli" "$maker"; do
    if [[ ! -x $program ]]; then
        echo "cli_timing: $program not found; build it first" >&2
        exit 2
    fi
done
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
    echo "cli_timing: RUNS must be a positive number" >&2
    exit 2
fi

times_file=$(mktemp "${TMPDIR:-/tmp}/termdex-times.XXXXXX")
temporary=
trap 'rm -f "$times_file"; if [[ -n $temporary ]]; then rm -rf "$temporary"; fi' EXIT
if [[ -n ${TERMDEX_BENCH_DICTIONARY:-} ]]; then
    dictionary=$TERMDEX_BENCH_DICTIONARY
else
    dictionary=$(mktemp -d "${TMPDIR:-/tmp}/termdex-cli-timing.XXXXXX")
    temporary=$dictionary
fi
if [[ ! -f $dictionary/data/TermdexI.tbo ]]; then
    "$maker" "$dictionary" >&2
fi

command=("$cli" --json --program-folder "$dictionary" --custom-folder "$dictionary/custom"
         lookup tax)

# The index snapshots go to a cache folder of this run's own, so the user's cache is neither
# used nor touched. A snapshot is only written once the index files are a few seconds old (a
# freshly generated dictionary is not), so wait for that first.
cache=$(mktemp -d "${TMPDIR:-/tmp}/termdex-cache.XXXXXX")
trap 'rm -f "$times_file"; rm -rf "$cache"; if [[ -n $temporary ]]; then rm -rf "$temporary"; fi' EXIT
export XDG_CACHE_HOME=$cache
unset TERMDEX_NO_INDEX_CACHE
newest=$(find "$dictionary/data" "$dictionary/custom" -type f -printf '%C@\n' | sort -g | tail -n 1)
wait_s=$(awk -v n="$newest" -v t="$EPOCHREALTIME" 'BEGIN { w = n + 3.2 - t; print (w > 0 ? w : 0) }')
sleep "$wait_s"

# One run first: it must succeed and list something, it brings the files into the page cache
# and it writes the snapshot.
if ! output=$("${command[@]}"); then
    echo "cli_timing: ${command[*]} failed" >&2
    exit 2
fi
if [[ $output != *'"items": [{'* && $output != *'"items":[{'* ]]; then
    echo "cli_timing: the lookup listed nothing: ${output:0:200}" >&2
    exit 2
fi
if ! compgen -G "$cache/Termdex/index-*.snapshot" >/dev/null; then
    echo "cli_timing: no index snapshot was written to $cache/Termdex" >&2
    exit 2
fi

# User + system seconds of this shell's finished children, from its own `times` (second line).
# `times` runs in this shell, writing to a file: in a command substitution it would report the
# children of the subshell.
child_cpu_seconds() {
    times >"$times_file"
    cpu_seconds=$(tail -n 1 "$times_file" | awk '{
        n = 0
        for (f = 1; f <= 2; ++f) {
            split($f, p, "m"); sub("s", "", p[2]); n += p[1] * 60 + p[2]
        }
        printf "%.6f", n
    }')
}

# The median wall time in ms of RUNS runs of the command, into median_ms; fastest_ms as well
# without hyperfine.
measure() {
    if command -v hyperfine >/dev/null 2>&1; then
        local export_file
        export_file=$(mktemp "${TMPDIR:-/tmp}/termdex-hyperfine.XXXXXX")
        hyperfine --warmup 3 --runs "$runs" -N --export-json "$export_file" \
            "$(printf '%q ' "${command[@]}")" >&2
        median_ms=$(python3 -c 'import json, sys
print("%.3f" % (json.load(open(sys.argv[1]))["results"][0]["median"] * 1000))' "$export_file")
        rm -f "$export_file"
        fastest_ms=
        return
    fi
    # Wall time of each run from the shell's own clock, so no extra process is timed.
    local times=() start end i
    for ((i = 0; i < runs; ++i)); do
        start=$EPOCHREALTIME
        "${command[@]}" >/dev/null
        end=$EPOCHREALTIME
        times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", (e - s) * 1000 }')")
    done
    median_ms=$(printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
    fastest_ms=$(printf '%s\n' "${times[@]}" | sort -g | head -n 1)
}

echo "command: ${command[*]}"
# For scale: the same command parsing the index files, as at a first start.
export TERMDEX_NO_INDEX_CACHE=1
measure
unset TERMDEX_NO_INDEX_CACHE
echo "without the snapshot: median ${median_ms} ms${fastest_ms:+, fastest ${fastest_ms} ms}"
measure
echo "runs: $runs${fastest_ms:+, fastest ${fastest_ms} ms}"

# The CPU time the runs took (user + system, all children of this shell so far, averaged over
# the runs): on a busy machine the wall time waits for the processor as well.
child_cpu_seconds
cpu_before=$cpu_seconds
for ((i = 0; i < runs; ++i)); do
    "${command[@]}" >/dev/null
done
child_cpu_seconds
cpu_after=$cpu_seconds
cpu_ms=$(awk -v a="$cpu_before" -v b="$cpu_after" -v n="$runs" \
    'BEGIN { printf "%.3f", (b - a) * 1000 / n }')
echo "mean CPU time per run: ${cpu_ms} ms"

# Peak resident memory: the largest of a few runs under GNU time (kilobytes).
peak_kb=0
for ((i = 0; i < 5; ++i)); do
    kb=$( { /usr/bin/time -f '%M' "${command[@]}" >/dev/null; } 2>&1 | tail -n 1)
    if (( kb > peak_kb )); then
        peak_kb=$kb
    fi
done
peak_mb=$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')

status=0
verdict() {
    if awk -v v="$1" -v t="$2" 'BEGIN { exit !(v <= t) }'; then echo met; else echo MISSED; fi
}
time_verdict=$(verdict "$median_ms" "$target_ms")
memory_verdict=$(verdict "$peak_mb" "$target_mb")
echo "median wall time: ${median_ms} ms (target <= ${target_ms} ms: $time_verdict)"
echo "peak resident memory: ${peak_mb} MB (target <= ${target_mb} MB: $memory_verdict)"
[[ $time_verdict == met && $memory_verdict == met ]] || status=1
exit $status
