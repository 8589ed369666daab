#!/bin/sh
# Five consecutive two-colour downloads over the virtual printer's
# pseudo-terminal (a serial line that loses what the host purges before it
# crossed), each followed by a list over TCP: every image must be there.
# Usage: scripts/serial-download-check.sh [BUILD_BIN_DIR]   (default build/bin)
set -u
bin=${1:-build/bin}
samples=$(dirname "$0")/../samples
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT
"$bin/markograph-sim" --kind two-color --listen 127.0.0.1:0 --pty --no-state --command-timeout 3000 \
    >"$work/sim.log" 2>&1 &
sim=$!
for _ in 1 2 3 4 5 6 7 8 9 10; do
    grep -q '^pty ' "$work/sim.log" && break
    sleep 0.2
done
pty=$(awk '/^pty /{print $2}' "$work/sim.log")
port=$(awk '/^listening on/{n=split($3, a, ":"); print a[n]}' "$work/sim.log")
[ -n "$pty" ] && [ -n "$port" ] || { echo "the virtual printer did not start"; cat "$work/sim.log"; exit 1; }
failures=0
for round in 1 2 3 4 5; do
    start=$(date +%s.%N)
    "$bin/markograph-cli" download --model-type 2 --receipt-width 576 --no-limits --port "$pty" \
        "$samples/sixteen-colours.bmp" "$samples/mono-badge.bmp" >"$work/download.out" 2>&1
    status=$?
    end=$(date +%s.%N)
    listed=$("$bin/markograph-cli" list --nv-inf /nonexistent/NV.inf --host 127.0.0.1 --tcp-port "$port" 2>/dev/null | tr '\n' ' ')
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
    printf 'round %d: download exit %d in %s s, printer holds: %s\n' "$round" "$status" "$seconds" "$listed"
    [ "$status" -eq 0 ] && [ "$listed" = "00 01 " ] || failures=$((failures + 1))
done
lost=$(grep -c 'purged' "$work/sim.log")
echo "purges that lost bytes on the line: $lost"
[ "$failures" -eq 0 ] && [ "$lost" -eq 0 ] && echo "all five downloads kept every image" && exit 0
echo "$failures of 5 rounds lost images"
exit 1
