#!/usr/bin/env bash
# The install tree, as the package lays it out, without root: cmake --install into a scratch
# prefix, then the installed programs must find their data there, and the desktop entry, the
# metainfo, the man pages and the completion must pass their checkers.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
fail() { echo "install tree: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/termdex bin/termdex-cli \
        share/termdex/data/TermdexI.tbo share/termdex/data/TermdexHI.tbo share/termdex/data/Termdex.tbo \
        share/termdex/content/Termdex.htm share/termdex/content/fil.tbo \
        share/applications/termdex.desktop share/metainfo/org.termdex.Termdex.metainfo.xml \
        share/icons/hicolor/scalable/apps/termdex.svg share/icons/hicolor/48x48/apps/termdex.png \
        share/icons/hicolor/256x256/apps/termdex.png \
        share/man/man1/termdex.1 share/man/man1/termdex-cli.1 \
        share/bash-completion/completions/termdex-cli share/doc/termdex/COPYING.md; do
    [[ -e "$prefix/$file" ]] || fail "missing $file"
done
[[ -x "$prefix/share/termdex/content/VorantisPres" ]] || fail "the presentation program lost its x bit"

# The installed programs, from a folder that is not theirs, with a home of their own.
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
       XDG_CACHE_HOME=$home/.cache
cd "$home"
version=$(sed -n 's/^project(Termdex VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
[[ $("$prefix/bin/termdex-cli" --version) == "termdex-cli $version" ]] || fail "termdex-cli --version"
[[ $("$prefix/bin/termdex" --version) == "termdex $version" ]] || fail "termdex --version"
out=$("$prefix/bin/termdex-cli" --json define tax) || fail "define tax: exit $?"
[[ $out == *'"entry": {"record": '* ]] || fail "define tax showed no entry: $out"
grep -q "version=\"$version\"" "$prefix/share/metainfo/org.termdex.Termdex.metainfo.xml" ||
    fail "the metainfo names another release"

desktop-file-validate "$prefix/share/applications/termdex.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.termdex.Termdex.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net "$prefix/share/metainfo/org.termdex.Termdex.metainfo.xml"
for page in termdex termdex-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l \
               "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null) || fail "man $page"
    [[ -z $warnings ]] || fail "man $page: $warnings"
done
bash -n "$prefix/share/bash-completion/completions/termdex-cli"
echo "install tree: ok"
