#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual printer on loopback and
# the desktop program against it. Without a display it runs the same
# download from the shell with markograph-cli and says where the virtual
# printer's pictures are.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset default >/dev/null
# Only the three programs: the test programs and the benchmark are built by
# ./test.sh and bench/run.sh.
cmake --build --preset default --target markograph markograph-cli markograph-sim

bin=build/bin
run=build/run
printer=$run/printer
mkdir -p "$printer/state" "$printer/out"

# The sample model file names a single-colour thermal printer (TX-100) on
# Ethernet 127.0.0.1:9100: the virtual printer plays it.
"$bin/markograph-sim" --kind mono --listen 127.0.0.1:9100 --state "$printer/state" --out "$printer/out" \
  >"$printer/sim.log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  grep -q "^listening on" "$printer/sim.log" 2>/dev/null && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "The virtual printer did not start:"; cat "$printer/sim.log"; exit 1
  fi
  sleep 0.1
done
echo "== Virtual printer: $(head -n 1 "$printer/sim.log") (log: $printer/sim.log)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "== Starting $bin/markograph (model file $bin/NV.inf); the printer's pictures go to $printer/out"
  "$bin/markograph"
  exit 0
fi

echo "== No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the desktop program needs one."
echo "   Running the same download with markograph-cli instead."
logos=(samples/mono-badge.bmp samples/sixteen-colours.bmp samples/red-black.bmp)
"$bin/markograph-cli" models
"$bin/markograph-cli" download "${logos[@]}"
"$bin/markograph-cli" print --select 1-3 --header
"$bin/markograph-cli" convert -o "$run/TX-100.prn" "${logos[@]}"
sleep 0.5
echo
echo "== Done. The virtual printer stored and printed what it received:"
echo "   pictures and index.json in $printer/out; the print file $run/TX-100.prn"
ls "$printer/out"
