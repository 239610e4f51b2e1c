#!/bin/sh
# Makes the README's pictures again from the current program: runs the built host on the
# sample drawing with docs/pictures/pictures.scr, which saves each picture with @ui shot.
# Usage: scripts/make-doc-pictures.sh [BUILD_DIR]   (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A fresh temporary and settings folder: the pictures show no one's history or dock state.
mkdir -p "$work/tmp" "$work/config"
sed "s|@DOCS@|$root/docs/pictures|g" "$root/docs/pictures/pictures.scr" > "$work/pictures.scr"
cd "$root"
TMPDIR="$work/tmp/" XDG_CONFIG_HOME="$work/config" \
    "$build/bin/marvolt-host" --open samples/annotations.dwg --script "$work/pictures.scr" > "$work/transcript.txt"
echo "pictures in $root/docs/pictures"
