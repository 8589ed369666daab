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
mkdir -p "$printer/out"

# The virtual printer plays the printer the model file names: its kind
# (ModelType 0 DOT MODE, 1 single-colour, 2 two-colour) and, on Ethernet, its
# TCP port. Keys are read as the programs read them: case-insensitive, in
# their section.
model_file=$bin/NV.inf
ini_value() { # section key default
  awk -v section="$1" -v key="$2" -v fallback="$3" '
    BEGIN { IGNORECASE = 1; found = fallback }
    /^[ \t]*\[/ { gsub(/^[ \t]*\[|\][ \t\r]*$/, ""); in_section = (tolower($0) == tolower(section)); next }
    in_section && index($0, "=") {
      name = substr($0, 1, index($0, "=") - 1); gsub(/^[ \t]+|[ \t]+$/, "", name)
      if (tolower(name) == tolower(key)) { value = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t\r]+$/, "", value); found = value; exit }
    }
    END { print found }' "$model_file" 2>/dev/null || echo "$3"
}
model_name=$(ini_value COMMON ModelName "")
case "$(ini_value COMMON ModelType 1)" in
  0) sim_kind=dot ;;
  2) sim_kind=two-color ;;
  *) sim_kind=mono ;;
esac
interface=$(ini_value COMMUNICATION INTERFACE 3)
tcp_port=$(ini_value COMMUNICATION PORT 9100)
case "$tcp_port" in ''|*[!0-9]*) tcp_port=9100 ;; esac
if [ "$tcp_port" -lt 1 ] || [ "$tcp_port" -gt 65535 ]; then tcp_port=9100; fi
ip="$(ini_value COMMUNICATION IP1 0).$(ini_value COMMUNICATION IP2 0).$(ini_value COMMUNICATION IP3 0).$(ini_value COMMUNICATION IP4 0)"
echo "== Model file $model_file: ${model_name:-no model} ($sim_kind printer)"
if [ "$interface" != 3 ] || [ "${ip%%.*}" != 127 ]; then
  echo "   Note: the model file does not point at 127.0.0.1 over Ethernet; choose Ethernet," \
       "IP 127.0.0.1 and port $tcp_port in Port Setting to reach the virtual printer," \
       "or type its pseudo-terminal (below) into the Serial page's Port box."
fi
"$bin/markograph-sim" --kind "$sim_kind" --listen "127.0.0.1:$tcp_port" --pty --state "$printer/state-$sim_kind" \
  --out "$printer/out" >"$printer/sim.log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  grep -q "^listening on" "$printer/sim.log" 2>/dev/null && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "The virtual printer did not start:"; cat "$printer/sim.log"; exit 1
  fi
  sleep 0.1
done
echo "== Virtual printer ($sim_kind): $(head -n 1 "$printer/sim.log"), $(sed -n 2p "$printer/sim.log") (log: $printer/sim.log)"
echo "   It plays the model file's printer as it is now; after choosing another model in"
echo "   Port Setting, run ./run.sh again to get a virtual printer of that kind."

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
