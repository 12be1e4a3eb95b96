#!/bin/sh
# Turns every figure source in this folder (or only the ones named) into the 400 x 300,
# 24-bit Windows bitmap the program shows: content/Fig_<name>.bmp.
#   utils/Figures/render.sh                      all of them
#   utils/Figures/render.sh Fig_Totalsurplus.svg one of them
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert (imagemagick).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
content="$here/../../content"
# A stand-in convert may come first in PATH; the real one is the Debian package's.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if [ "$#" -eq 0 ]; then
    set -- "$here"/Fig_*.svg
fi
for svg in "$@"; do
    case "$svg" in
    /*) ;;
    *) [ -f "$svg" ] || svg="$here/$svg" ;;
    esac
    name=$(basename "$svg" .svg)
    rsvg-convert -w 400 -h 300 "$svg" -o "$tmp/figure.png"
    # BMP3 writes the plain BITMAPINFOHEADER that the program's loader and the installer expect;
    # TrueColor keeps it at 24 bits even when a figure has only grey in it.
    "$convert" "$tmp/figure.png" -background white -alpha remove -alpha off -type TrueColor -units PixelsPerCentimeter -density 28.35 \
        "BMP3:$content/$name.bmp"
    echo "$name.bmp"
done
