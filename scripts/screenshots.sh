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
