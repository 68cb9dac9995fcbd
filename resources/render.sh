#!/bin/sh
# Renders the artwork in art/ to the PNGs compiled into the program and installed with it.
# The PNGs are committed, so building needs neither tool: run this after changing a drawing.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert. Same tools, same bytes.
set -eu
cd "$(dirname "$0")"

for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null || { echo "render.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# No timestamps or other metadata in the files, so that a re-run changes nothing.
plain="-strip -define png:exclude-chunks=date,time"

# svg size out.png: true colour with a full alpha channel.
truecolour() {
    rsvg-convert -w "$2" -h "$2" "art/$1.svg" -o "$work/raw.png"
    # shellcheck disable=SC2086
    convert "$work/raw.png" $plain "PNG32:$3"
}

# svg width height colours out.png: an indexed picture of at most that many colours, one of them
# fully transparent; every other pixel is opaque (alpha cut at one half, as for a classic icon mask).
indexed() {
    rsvg-convert -w "$2" -h "$3" "art/$1.svg" -o "$work/raw.png"
    depth=8
    if [ "$4" -le 16 ]; then depth=4; fi
    # shellcheck disable=SC2086
    convert "$work/raw.png" -channel A -threshold 50% +channel \
        -background black -alpha background -dither None -colors "$4" $plain \
        -define png:bit-depth=$depth "PNG8:$5"
}

indexed stopwatch 32 32 16 stopwatch.png
indexed stopwatch-16 16 16 16 stopwatch-16.png
truecolour folder-source 32 folder-source.png
truecolour folder-destination 32 folder-destination.png
indexed info 32 32 256 info.png
indexed info-16 16 16 256 info-16.png
indexed flag 36 25 128 flag.png

# The desktop's icon theme gets the program icon in full colour at its usual sizes.
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    if [ "$size" -eq 16 ]; then source=stopwatch-16; else source=stopwatch; fi
    truecolour "$source" "$size" "hicolor/${size}x${size}/apps/zintra.png"
done
mkdir -p hicolor/scalable/apps
cp art/stopwatch.svg hicolor/scalable/apps/zintra.svg
