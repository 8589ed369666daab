#!/usr/bin/env bash
# Builds and runs the desktop start-up benchmark. Figures go to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target markograph-startup-bench
uptime
build/bin/markograph-startup-bench
