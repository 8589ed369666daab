#!/usr/bin/env bash
# The converting process as a whole: processor time of one
# `markograph-cli convert` of a 576 x 1000 24-bit BMP (start-up included),
# the shared libraries it loads, and the JavaScript receipt encoder's whole
# node process converting the same picture (bench/js/convert_process.mjs).
# Rounds alternate the sides (the one that goes first alternates too); each
# round runs every side PER_ROUND times and takes the mean processor time
# (user + system of the children, bash's `times`); the figure is the median
# over the rounds. The load average at the start of each round is printed.
#
# Usage: bench/lean_process.sh [--rounds N] [--per-round N] [--before PROGRAM]
#   --before PROGRAM   an older markograph-cli to measure beside this one
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=15 per=10 before=
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --per-round) per=$2; shift 2 ;;
    --before) before=$2; shift 2 ;;
    *) echo "usage: $0 [--rounds N] [--per-round N] [--before PROGRAM]" >&2; exit 2 ;;
  esac
done
command -v node >/dev/null && command -v npm >/dev/null || {
  echo "lean_process.sh needs node and npm (the JavaScript encoder is a peer)" >&2; exit 1; }
if [ ! -d bench/js/node_modules/@point-of-sale/receipt-printer-encoder ]; then
  (cd bench/js && npm install --no-audit --no-fund --silent)
fi
cmake --preset default >/dev/null
cmake --build --preset default --target markograph-cli -- -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
node bench/js/convert_process.mjs --write-bmp "$work/logo.bmp" 576 1000
convert_args=(convert --nv-inf /nonexistent --no-limits --model-type 1 --receipt-width 576 -o "$work/out.prn" "$work/logo.bmp")
sides=(ours)
[ -n "$before" ] && sides+=(before)
sides+=(peer)
run_side() {
  case $1 in
    ours) build/bin/markograph-cli "${convert_args[@]}" ;;
    before) "$before" "${convert_args[@]}" ;;
    peer) node bench/js/convert_process.mjs "$work/logo.bmp" "$work/out.bin" ;;
  esac
}
# Mean processor milliseconds of one run of a side, over PER_ROUND runs.
mean_ms() {
  local line
  line=$( ( for _ in $(seq "$per"); do run_side "$1" >/dev/null 2>&1; done; times ) | tail -1)
  awk -v n="$per" '{
      split($1, u, /[ms]/); split($2, s, /[ms]/);
      printf "%.2f\n", ((u[1] * 60 + u[2]) + (s[1] * 60 + s[2])) * 1000 / n }' <<<"$line"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
libraries() {
  LD_DEBUG=files LD_DEBUG_OUTPUT="$work/ld.$1" run_side "$1" >/dev/null 2>&1
  cat "$work/ld.$1".* | grep -c 'generating link map'
  rm -f "$work/ld.$1".*
}

loads=()
for round in $(seq "$rounds"); do
  loads+=("$(cut -d' ' -f1-3 /proc/loadavg)")
  order=("${sides[@]}")
  [ $((round % 2)) -eq 0 ] && order=($(printf '%s\n' "${sides[@]}" | tac))
  for side in "${order[@]}"; do
    mean_ms "$side" >>"$work/ms.$side"
  done
done

echo "Measured by bench/lean_process.sh on $(date -u '+%Y-%m-%d %H:%M') UTC: $(nproc) cores, $rounds interleaved rounds of $per runs a side."
echo "Load average at the start of each round: $(IFS=';'; echo "${loads[*]}")."
echo
echo "| whole process, one 576 x 1000 BMP | processor ms (median of round means) | shared libraries loaded |"
echo "|---|---|---|"
ours_ms=$(median <"$work/ms.ours")
echo "| markograph-cli convert | $ours_ms | $(libraries ours) |"
if [ -n "$before" ]; then
  echo "| markograph-cli convert (--before) | $(median <"$work/ms.before") | $(libraries before) |"
fi
peer_ms=$(median <"$work/ms.peer")
echo "| JavaScript encoder, node process | $peer_ms | $(libraries peer) |"
echo
awk -v a="$peer_ms" -v b="$ours_ms" 'BEGIN { printf "markograph-cli convert is %.1fx the encoder'"'"'s whole process.\n", a / b }'
