#!/usr/bin/env bash
# Builds and runs the import benchmark, with the JavaScript receipt encoder it
# compares dithering with installed into bench/js/node_modules (ignored by
# git; needs node and npm). Figures go to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -d bench/js/node_modules/@point-of-sale/receipt-printer-encoder ]; then
  (cd bench/js && npm install --no-audit --no-fund --silent)
fi
cmake --preset default >/dev/null
cmake --build --preset default --target markograph-import-bench markograph-cli
build/bin/markograph-import-bench --js bench/js/dither_bench.mjs
