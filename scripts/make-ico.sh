#!/usr/bin/env bash
# Renders packaging/harlune.svg into packaging/harlune.ico, the icon that the
# Windows resource file puts into harlune.exe. The .ico is kept in the tree so
# a Windows build needs no SVG renderer; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh icon

sizes=(16 24 32 48 64)
large=256  # stored as PNG inside the .ico, as Windows expects for this size
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
render() { rsvg-convert --width "$1" --height "$1" packaging/harlune.svg -o "$work/$1.png"; }
pngs=()
for size in "${sizes[@]}"; do
  render "$size"
  pngs+=("$work/$size.png")
done
render "$large"
icotool --create --output packaging/harlune.ico "${pngs[@]}" --raw="$work/$large.png"
echo "make-ico: wrote packaging/harlune.ico (${sizes[*]} $large px)"
