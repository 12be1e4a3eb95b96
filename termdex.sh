#!/usr/bin/env bash
# ./termdex.sh       installs what is missing, builds, and starts the dictionary
# ./termdex.sh test  the same, then runs every test (also under the sanitizers, and the fuzzers)
# ./termdex.sh package  the same, then builds the Debian package into build/package/
set -euo pipefail
cd "$(dirname "$0")"
top=$PWD
mode=${1:-run}
build="$top/build"
sanitize_build="$top/build-sanitize"
fuzz_build="$top/build-fuzz"

say() { printf '%s\n' "$*"; }

# Runs a command quietly; shows its output only when it fails.
quiet() {
    local out
    if ! out=$("$@" 2>&1); then
        printf '%s\n' "$out" | tail -n 80
        say "termdex.sh: failed: $*"
        exit 1
    fi
}

install_packages() {
    local missing=()
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done < "$top/debian-packages.txt"
    [[ ${#missing[@]} -eq 0 ]] && return 0
    say "Installing: ${missing[*]}"
    local sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        command -v sudo >/dev/null || { say "termdex.sh: need root or sudo to install ${missing[*]}"; exit 1; }
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    quiet "${sudo[@]}" apt-get update -qq
    quiet "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() {
    local dir=$1; shift
    if [[ ! -f "$dir/build.ninja" ]]; then
        quiet cmake -S "$top" -B "$dir" -G Ninja "$@"
    fi
    quiet cmake --build "$dir" -j "$(nproc)"
}

run_tests() {
    local dir=$1 label=$2 out
    if ! out=$(cd "$dir" && QT_QPA_PLATFORM=offscreen ctest -j "$(nproc)" --output-on-failure --timeout 900 2>&1); then
        printf '%s\n' "$out" | tail -n 150
        say "termdex.sh: tests failed ($label)"
        exit 1
    fi
    say "$label: $(printf '%s\n' "$out" | grep -E 'tests passed' | tail -n 1)"
}

# Every C++ file as the root .clang-format lays it out; a drift fails the run and names the file.
check_format() {
    local drift=()
    while IFS= read -r f; do
        clang-format --dry-run -Werror "$top/$f" >/dev/null 2>&1 || drift+=("$f")
    done < <(git -C "$top" ls-files '*.cpp' '*.h' 2>/dev/null ||
        (cd "$top" && find . -path './build*' -prune -o -path './obj-*' -prune -o \
            \( -name '*.cpp' -o -name '*.h' \) -print))
    if ((${#drift[@]})); then
        say "termdex.sh: not formatted (run clang-format -i on them): ${drift[*]}"
        exit 1
    fi
    say "format: every file as .clang-format lays it out"
}

# The layers include downwards only (docs/ARCHITECTURE.md): each folder's includes are checked
# against the folders below it; an include from above fails the run and names the file.
check_layers() {
    local core="lib data store richtext main custom install"
    declare -A below=(
        [lib]="lib" [data]="lib data" [store]="lib data store" [richtext]="lib richtext"
        [main]="lib data store richtext main" [custom]="lib data store richtext main custom"
        [install]="$core" [tools]="$core tools" [platform]="lib data store main platform"
        [richtext/qt]="lib richtext richtext/qt"
        [dialogs]="$core platform richtext/qt dialogs"
        [custom/ui]="$core platform richtext/qt dialogs custom/ui"
        [main/ui]="$core platform richtext/qt dialogs custom/ui main/ui"
    )
    # A folder's layer: its ui/ or qt/ part, else its first component (tools/import is tools).
    layer_of() {
        case $1 in
        richtext/qt/*) echo richtext/qt ;;
        */ui/*) echo "${1%%/ui/*}/ui" ;;
        *) echo "${1%%/*}" ;;
        esac
    }
    local wrong=() file layer included
    while IFS=: read -r file included; do
        included=${included#*\"}
        layer=$(layer_of "$file")
        included=$(layer_of "${included%\"*}")
        [[ " ${below[$layer]:-} " == *" $included "* ]] || wrong+=("$file (${included}/)")
    done < <(cd "$top" && grep -H '^#include "[a-z_]*/' -r --include='*.cpp' --include='*.h' \
        lib data store richtext main custom install tools platform dialogs)
    if ((${#wrong[@]})); then
        say "termdex.sh: includes from a layer above: ${wrong[*]}"
        exit 1
    fi
    say "layers: every include points downwards"
}

run_fuzzers() {
    command -v clang++ >/dev/null || return 0
    CC=clang CXX=clang++ configure_and_build "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTERMDEX_FUZZ=ON -DTERMDEX_GUI=OFF -DTERMDEX_BENCH=OFF
    local fuzzer name seeds
    for fuzzer in "$fuzz_build"/*_fuzzer; do
        [[ -x "$fuzzer" ]] || continue
        name=$(basename "$fuzzer")
        # New inputs go to the build folder; the committed seeds are only read.
        mkdir -p "$fuzz_build/corpus/$name"
        seeds=("$top/tests/fuzz/corpus/${name%_fuzzer}")
        [[ -d "${seeds[0]}" ]] || seeds=()
        if ! "$fuzzer" -max_total_time="${TERMDEX_FUZZ_SECONDS:-30}" -print_final_stats=0 \
                "$fuzz_build/corpus/$name" "${seeds[@]}" >"$fuzz_build/$name.log" 2>&1; then
            tail -n 60 "$fuzz_build/$name.log"
            say "termdex.sh: $name found a fault"
            exit 1
        fi
    done
    say "fuzzers: no fault in ${TERMDEX_FUZZ_SECONDS:-30} s each"
}

install_packages
configure_and_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

case "$mode" in
run)
    if [[ -x "$build/Termdex" && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) ]]; then
        exec "$build/Termdex"
    fi
    [[ -x "$build/Termdex" ]] && say "No display here: showing an entry of the demo dictionary instead."
    exec "$build/termdex-cli" show 1
    ;;
test)
    check_format
    check_layers
    run_tests "$build" "tests"
    configure_and_build "$sanitize_build" -DCMAKE_BUILD_TYPE=Debug -DTERMDEX_SANITIZE=ON -DTERMDEX_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 run_tests "$sanitize_build" "tests under the sanitizers"
    run_fuzzers
    ;;
package)
    # A copy of the sources, so the package build leaves the tree as it was; the .deb lands
    # beside the copy. The tests ran with ./termdex.sh test: TERMDEX_PACKAGE_CHECK=1 runs them
    # again inside the package build.
    out="$build/package"
    rm -rf "$out" && mkdir -p "$out/src"
    tar -C "$top" --exclude=./build --exclude='./build-*' --exclude=./.git --exclude='./obj-*' \
        -cf - . | tar -C "$out/src" -xf -
    options="parallel=$(nproc)"
    [[ "${TERMDEX_PACKAGE_CHECK:-0}" == 1 ]] || options="$options nocheck"
    command -v ccache >/dev/null && export CMAKE_CXX_COMPILER_LAUNCHER=ccache
    (cd "$out/src" && DEB_BUILD_OPTIONS="$options" quiet dpkg-buildpackage -us -uc -b)
    deb=$(ls "$out"/termdex_*.deb | grep -v dbgsym | head -n 1)
    if command -v lintian >/dev/null; then
        # Errors fail the package; warnings are shown.
        lintian --fail-on error "$deb" || { say "termdex.sh: lintian found errors in $deb"; exit 1; }
    fi
    say "package: $deb"
    ;;
*)
    say "usage: ./termdex.sh [test|package]"
    exit 2
    ;;
esac
