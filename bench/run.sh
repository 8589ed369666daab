#!/usr/bin/env bash
# Builds and runs the conversion benchmark. Figures go to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target markograph-bench markograph-cli
build/bin/markograph-bench
