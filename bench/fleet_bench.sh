#!/usr/bin/env bash
# Builds and runs the fleet download benchmark: 32 virtual single-colour
# printers, 3 logos each, markograph-cli download --hosts with --jobs 8.
# Takes about half a minute (the printers' mandated waits). Figures go to
# standard output; exit status 1 when a printer did not store its logos.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target markograph-fleet-bench markograph-cli
build/bin/markograph-fleet-bench
