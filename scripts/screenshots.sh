#!/usr/bin/env bash
# Regenerates the screenshots of every dialog in docs/images, at 1x and 2x
# scaling, from the same dialog gallery that the layout test checks
# (tests/ui/dialog_layout_test.cpp). Runs on Qt's offscreen platform: no
# display needed. The printer dialogs talk to virtual printers on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target markograph_ui_tests
mkdir -p docs/images
for scale in 1 2; do
  QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale MARKOGRAPH_SCREENSHOT_DIR="$PWD/docs/images" \
    build/bin/markograph_ui_tests --gtest_filter='DialogLayout.*' --gtest_brief=1
done
ls docs/images/*.png

# A composed logo as a two-colour virtual printer on 127.0.0.1 stores it
# (the compose dialog itself is in the gallery above: compose-1x.png).
work=$(mktemp -d)
trap 'kill "$sim_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cmake --build --preset default --target markograph-cli markograph-sim
build/bin/markograph-sim --kind two-color --listen 127.0.0.1:0 --no-state --out "$work/out" --quiet \
  >"$work/sim.log" &
sim_pid=$!
for _ in $(seq 50); do grep -q '^listening on' "$work/sim.log" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127.0.0.1:\([0-9]*\)$/\1/p' "$work/sim.log")
model=(--nv-inf /nonexistent/NV.inf --model-type 2 --receipt-width 384)
build/bin/markograph-cli compose "${model[@]}" --text "Corner Café" --size 40 --bold --text-ink second \
  --text "12 Harbour Street" --qr "https://example.com/feedback" --qr-position beside --shrink \
  -o "$work/logo.bmp" >"$work/logo.txt"
build/bin/markograph-cli download "${model[@]}" --no-limits --logo-list "$work/logo.txt" \
  --host 127.0.0.1 --tcp-port "$port" >/dev/null
for _ in $(seq 50); do compgen -G "$work/out/nv-*.png" >/dev/null && break; sleep 0.1; done
stored=$(compgen -G "$work/out/nv-*.png" | head -1)
cp "$stored" docs/images/compose-stored.png
ls docs/images/compose*.png
