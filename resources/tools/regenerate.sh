#!/bin/sh
# Redraws every generated resource into resources/generated/ (pictures,
# sounds, the glyph font and the resource collection file). Run after changing
# the manifest or the generator, then commit resources/generated/.
# Needs: the project's build packages and python3-fonttools.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target rw_resource_generator
out="$root/resources/generated"
rm -rf "$out"
mkdir -p "$out/FONT"
"$build/rw_resource_generator" "$root/resources/Manifest.tsv" "$out" "$build/glyphs.json"
/usr/bin/python3 "$here/build_glyph_font.py" "$build/glyphs.json" "$out/FONT/RW2Dings.ttf"
echo "resources regenerated in $out"
