#!/bin/sh
# Makes docs/screenshot.png, the README's picture, with the project's own
# programs: a generated corpus imported into a scratch program folder, the
# main window drawn offscreen with one block open. Run from a built tree:
#   tools/screenshot.sh [build folder, default build]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$top/build}/bin
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$bin/tallowpen-gencorpus" --out "$scratch/originals" --blocks 600 --files 12 >/dev/null
"$bin/tallowpen-gencorpus" --out "$scratch/translated" --blocks 600 --files 12 --translated >/dev/null
home="$scratch/home"
"$bin/tallowpen-cli" --home "$home" init >/dev/null
"$bin/tallowpen-cli" --home "$home" import-original "$scratch/originals" >/dev/null
"$bin/tallowpen-cli" --home "$home" import-translated "$scratch/translated" >/dev/null
mkdir -p "$home/font"
cp "$top/assets/font.bmp" "$home/font/font.bmp"
key=$("$bin/tallowpen-cli" --home "$home" tree | sed -n 's/.*"key": "\(field:[^"]*;[0-9]*\)".*/\1/p' | sed -n 12p)
"$bin/tallowpen-screenshot" --home "$home" --block "$key" --out "$top/docs/screenshot.png"
echo "docs/screenshot.png: $key"
