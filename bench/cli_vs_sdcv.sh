#!/usr/bin/env bash
# termdex-cli against sdcv on the same real dictionary, as whole processes: FreeDict's
# English-Greek dictd files (about 21,000 headwords) imported with `termdex-cli import dictd`, and
# the same files in StarDict form for sdcv (bench/stardict_from_dictd.pl). One hyperfine run
# pairs `sdcv -n -e` (its exact lookup) with `termdex-cli --json define tax` and `lookup tax`;
# targets: each median at most 0.8 times sdcv's, and at most 10 MB peak resident memory.
#
# usage: bench/cli_vs_sdcv.sh [BUILD_DIR [RUNS]]
#   BUILD_DIR  the build folder holding termdex-cli (default: build)
#   RUNS       timed runs of each command (default 300)
# With TERMDEX_BENCH_PERF=DIR set, `perf record` also profiles 100 runs of define into DIR.
# Exit status: 0 when every target is met, 1 when one is missed, 2 on a setup error.
set -euo pipefail

build=${1:-build}
runs=${2:-300}
word=tax
ratio_target=0.8
target_mb=10
cli=$(realpath "$build/termdex-cli")
here=$(dirname "$(realpath "$0")")
index=/usr/share/dictd/freedict-eng-ell.index
dict=/usr/share/dictd/freedict-eng-ell.dict.dz

for need in hyperfine sdcv perl gzip /usr/bin/time; do
    if ! command -v "$need" >/dev/null 2>&1; then
        echo "cli_vs_sdcv: $need is missing (debian-packages.txt lists it)" >&2
        exit 2
    fi
done
if [[ ! -x $cli || ! -f $index || ! -f $dict ]]; then
    echo "cli_vs_sdcv: needs $cli and the dict-freedict-eng-ell package" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/termdex-vs-sdcv.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/stardict" "$work/home"
# Both programs keep their caches (the index snapshot, sdcv's offset cache) and sdcv its
# history under this run's own home, so neither the user's files nor an earlier run count.
export HOME=$work/home XDG_CACHE_HOME=$work/home/.cache
unset TERMDEX_NO_INDEX_CACHE

"$cli" import dictd "$index" --to "$work/termdex" >"$work/import.json"
"$here/stardict_from_dictd.pl" "$index" "$dict" "$work/stardict" eng-ell

sdcv_command=(sdcv -n -e -x -2 "$work/stardict" "$word")
define_command=("$cli" --json --program-folder "$work/termdex" define "$word")
lookup_command=("$cli" --json --program-folder "$work/termdex" lookup "$word")

# A snapshot is only written of index files a few seconds old; then one run of each writes the
# caches and checks that the word is found.
sleep 3.5
"${sdcv_command[@]}" | grep -q "$word" || { echo "cli_vs_sdcv: sdcv found no '$word'" >&2; exit 2; }
"${define_command[@]}" | grep -q '"entry": {' || { echo "cli_vs_sdcv: define found no entry" >&2; exit 2; }
"${lookup_command[@]}" >/dev/null
if ! compgen -G "$XDG_CACHE_HOME/Termdex/index-*.snapshot" >/dev/null; then
    echo "cli_vs_sdcv: no index snapshot was written" >&2
    exit 2
fi

hyperfine -N --warmup 30 --runs "$runs" --export-csv "$work/times.csv" \
    -n sdcv "$(printf '%q ' "${sdcv_command[@]}")" \
    -n define "$(printf '%q ' "${define_command[@]}")" \
    -n lookup "$(printf '%q ' "${lookup_command[@]}")" >&2

# The median (seconds, CSV column 4) of the command named $1.
median() { awk -F, -v n="$1" '$1 == n { print $4 }' "$work/times.csv"; }
peak_mb() {
    local kb=0 k i
    for ((i = 0; i < 5; ++i)); do
        k=$( { /usr/bin/time -f '%M' "$@" >/dev/null; } 2>&1 | tail -n 1)
        ((k > kb)) && kb=$k
    done
    awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }'
}

if [[ -n ${TERMDEX_BENCH_PERF:-} ]]; then
    mkdir -p "$TERMDEX_BENCH_PERF"
    perf record -q -g -o "$TERMDEX_BENCH_PERF/define.perf.data" -- bash -c \
        'for ((i = 0; i < 100; ++i)); do "$@" >/dev/null; done' perf "${define_command[@]}"
    perf report -i "$TERMDEX_BENCH_PERF/define.perf.data" --no-children --comm termdex-cli \
        --sort symbol -g none --stdio 2>/dev/null | grep '%' | head -n 25 \
        >"$TERMDEX_BENCH_PERF/define.top.txt"
    echo "profile: $TERMDEX_BENCH_PERF/define.top.txt"
fi

status=0
sdcv_s=$(median sdcv)
printf 'dictionary: %s records imported; sdcv: %s headwords\n' \
    "$(sed -n 's/.*"records": \([0-9]*\).*/\1/p' "$work/import.json")" \
    "$(sed -n 's/^wordcount=//p' "$work/stardict/eng-ell.ifo")"
printf 'sdcv -n -e:  median %.2f ms, peak %s MB\n' "$(awk -v s="$sdcv_s" 'BEGIN { print s * 1000 }')" \
    "$(peak_mb "${sdcv_command[@]}")"
for name in define lookup; do
    command_var=${name}_command[@]
    s=$(median "$name")
    ratio=$(awk -v a="$s" -v b="$sdcv_s" 'BEGIN { printf "%.2f", a / b }')
    mb=$(peak_mb "${!command_var}")
    verdict=met
    if ! awk -v r="$ratio" -v t="$ratio_target" -v m="$mb" -v tm="$target_mb" \
        'BEGIN { exit !(r <= t && m <= tm) }'; then
        verdict=MISSED
        status=1
    fi
    printf 'termdex-cli %s:  median %.2f ms, %s x sdcv, peak %s MB (targets <= %s x, <= %s MB: %s)\n' \
        "$name" "$(awk -v s="$s" 'BEGIN { print s * 1000 }')" "$ratio" "$mb" "$ratio_target" \
        "$target_mb" "$verdict"
done
exit $status
