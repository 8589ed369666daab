#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program when there
# is a display. Without one it shows Markograph at work from the shell: the
# sample logos converted for every printer kind of the sample model file.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "== Starting build/bin/markograph (the model file is build/bin/NV.inf)"
  exec build/bin/markograph
fi
echo "== No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the desktop program"
echo "   build/bin/markograph needs one. Showing the converter instead."
echo

cli=build/bin/markograph-cli
out=build/run
mkdir -p "$out"
logos=(samples/mono-badge.bmp samples/sixteen-colours.bmp samples/red-black.bmp)

echo "== Printer models in build/bin/NV.inf"
"$cli" models
echo
for model in TX-100 TX-200 DX-300; do
  "$cli" convert --model "$model" -o "$out/$model.prn" "${logos[@]}"
  echo "$model: $out/$model.prn ($(stat -c %s "$out/$model.prn") bytes)"
done
"$cli" convert --model DX-300 --density 2 -o "$out/DX-300-quad.prn" samples/red-black.bmp
echo "DX-300 quad density: $out/DX-300-quad.prn ($(stat -c %s "$out/DX-300-quad.prn") bytes)"
"$cli" preview --model-type 2 --color-mode 0 -o "$out/red-black-preview.png" samples/red-black.bmp
echo "Separated preview: $out/red-black-preview.png"
