#!/usr/bin/env bash
# Measures Markograph beside its references and peers in one run and writes
# the README's performance tables from the figures:
# - the conversion of every printer kind on four picture classes at 576 x 1000
#   and 576 x 3400, against memcpy of the same bytes and the plain C
#   threshold-and-pack kernel, scalar and vectorised for this machine (both
#   compiled here from bench/plain_kernel_body.h);
# - dithering of one 576 x 1000 picture against the JavaScript receipt
#   encoder's dithering module (installed from bench/js/package-lock.json),
#   grey conversion counted on both sides.
# The two sides run alternately, round after round (the one that goes first
# alternates too), and each figure is the median over the rounds. Times are
# processor time (ours: the measuring thread; the encoder: its whole node
# process), so other work on a shared machine disturbs them little; the load
# average at the start of each round is printed beside the figures.
#
# The tables go between their marker comments in docs/performance.md, or in
# README.md where that file holds no markers.
#
# Usage: bench/compare.sh [--rounds N] [--no-readme]
#   --rounds N    rounds of both sides (default 3)
#   --no-readme   print the tables, write no file
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=3
write_readme=1
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --no-readme) write_readme=0; shift ;;
    *) echo "usage: $0 [--rounds N] [--no-readme]" >&2; exit 2 ;;
  esac
done

command -v node >/dev/null && command -v npm >/dev/null || {
  echo "compare.sh needs node and npm (the JavaScript encoder is a peer)" >&2; exit 1; }
if [ ! -d bench/js/node_modules/@point-of-sale/receipt-printer-encoder ] ||
   [ bench/js/package-lock.json -nt bench/js/node_modules ]; then
  (cd bench/js && npm ci --no-audit --no-fund --silent)
fi
cmake --preset default >/dev/null
cmake --build --preset default --target markograph-bench markograph-import-bench -- -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
picture=$work/picture.rgba
loads=()

run_ours() {
  build/bin/markograph-bench --classes >"$work/classes.$1"
  build/bin/markograph-import-bench --dither-json "$picture" >"$work/ours.$1.json"
}
run_peer() {
  # The picture is written by our side; the first round makes it first.
  [ -f "$picture" ] || build/bin/markograph-import-bench --dither-json "$picture" >/dev/null
  node bench/js/dither_bench.mjs "$picture" 576 1000 >"$work/js.$1.json"
}

for round in $(seq "$rounds"); do
  loads+=("$(cut -d' ' -f1-3 /proc/loadavg)")
  echo "round $round of $rounds (load average ${loads[-1]})" >&2
  if [ $((round % 2)) -eq 1 ]; then run_ours "$round"; run_peer "$round"
  else run_peer "$round"; run_ours "$round"; fi
done

# The median of each table cell over the rounds. A cell "N (Rx)" takes the
# median of N and of R separately; other numbers their median; text stays.
median_tables() {
  awk '
    function median(list,   n, a, i, j, t) {
      n = split(list, a, " ")
      for (i = 2; i <= n; i++) { t = a[i] + 0; for (j = i - 1; j >= 1 && a[j] + 0 > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    FNR == 1 { file++ }
    /^\| [0-9]/ {
      n = split($0, f, "|")
      for (c = 2; c < n; c++) {
        v = f[c]; gsub(/^ +| +$/, "", v); key = FNR SUBSEP c
        if (v ~ /^[0-9.]+ \([0-9.]+x\)$/) { split(v, p, /[ ()x]+/); num[key] = num[key] " " p[1]; rat[key] = rat[key] " " p[2]; kind[key] = "pair" }
        else if (v ~ /^[0-9.]+$/) { num[key] = num[key] " " v; kind[key] = "num" }
        else { text[key] = v; kind[key] = "text" }
      }
      cols[FNR] = n
    }
    file == 1 { line[FNR] = $0; last = FNR }
    END {
      for (l = 1; l <= last; l++) {
        if (!(l in cols)) {
          if (line[l] ~ /^\|/ || line[l] ~ /^The same/) { print line[l]; started = 1 }
          else if (line[l] == "" && started) print line[l]
          continue
        }
        out = "|"
        for (c = 2; c < cols[l]; c++) {
          key = l SUBSEP c
          if (kind[key] == "pair") cell = sprintf("%.0f (%.2fx)", median(num[key]), median(rat[key]))
          else if (kind[key] == "num") cell = (median(num[key]) < 10 ? sprintf("%.2f", median(num[key])) : sprintf("%.0f", median(num[key])))
          else cell = text[key]
          out = out " " cell " |"
        }
        print out
      }
    }' "$@"
}

# The median over the rounds of one number of the JSON files.
json_median() {
  local field=$1; shift
  sed -n "s/.*\"$field\": *\([0-9.]*\).*/\1/p" "$@" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%.2f\n", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

when=$(date -u '+%Y-%m-%d %H:%M UTC')
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
level=$(sed -n 's/.*vector level: \([a-z0-9]*\);.*/\1/p' "$work/classes.1")
version=$(sed -n 's/.*"version": *"\([^"]*\)".*/\1/p' "$work/js.1.json")
head="Measured by \`bench/compare.sh\` on $when: $(nproc) cores ($cpu), vector level $level, median of $rounds interleaved rounds; load average at the start of each round: $(IFS=';'; echo "${loads[*]}" | sed 's/;/; /g')."

conversion=$work/conversion.md
{
  echo "$head"
  echo
  echo "Mpixel/s of source pixels (processor time, best of 5 within a round); in brackets the ratio to the vectorised plain C kernel."
  echo
  median_tables "$work"/classes.*
} >"$conversion"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1fx", a / b }'; }
dithering=$work/dithering.md
{
  fs=$(json_median floydSteinbergMs "$work"/ours.*.json)
  at=$(json_median atkinsonMs "$work"/ours.*.json)
  fs_grey=$(json_median floydSteinbergWithGreyMs "$work"/ours.*.json)
  at_grey=$(json_median atkinsonWithGreyMs "$work"/ours.*.json)
  js_fs=$(json_median floydSteinbergMs "$work"/js.*.json)
  js_at=$(json_median atkinsonMs "$work"/js.*.json)
  echo "$head"
  echo
  echo "One 576 x 1000 picture, milliseconds of processor time per call. The encoder's dithering module takes RGBA and converts it to grey itself, so the like-for-like ratio counts Markograph's grey conversion and tones too."
  echo
  echo "| method | Markograph, grey conversion + dithering | Markograph, dithering alone | encoder $version (grey conversion + dithering) | like for like | dithering alone |"
  echo "|---|---|---|---|---|---|"
  echo "| Floyd-Steinberg | $fs_grey ms | $fs ms | $js_fs ms | $(ratio "$js_fs" "$fs_grey") | $(ratio "$js_fs" "$fs") |"
  echo "| Atkinson | $at_grey ms | $at ms | $js_at ms | $(ratio "$js_at" "$at_grey") | $(ratio "$js_at" "$at") |"
} >"$dithering"

cat "$conversion"; echo; cat "$dithering"

# Each block replaces what stands between its two marker comments, in the
# first of the files that holds them.
tables_file=
for candidate in docs/performance.md README.md; do
  if [ -f "$candidate" ] && grep -qF "<!-- bench/compare.sh: conversion begin -->" "$candidate"; then
    tables_file=$candidate; break
  fi
done
replace_block() {
  local name=$1 file=$2
  grep -qF "<!-- bench/compare.sh: $name begin -->" "$tables_file" || {
    echo "$tables_file has no $name markers" >&2; exit 1; }
  awk -v begin="<!-- bench/compare.sh: $name begin -->" -v end="<!-- bench/compare.sh: $name end -->" -v file="$file" '
    $0 == begin { print; while ((getline l < file) > 0) print l; skip = 1; next }
    $0 == end { skip = 0 }
    !skip { print }' "$tables_file" >"$work/tables.md"
  cp "$work/tables.md" "$tables_file"
}
if [ "$write_readme" -eq 1 ]; then
  [ -n "$tables_file" ] || { echo "neither docs/performance.md nor README.md has the table markers" >&2; exit 1; }
  replace_block conversion "$conversion"
  replace_block dithering "$dithering"
  echo "$tables_file: tables written" >&2
fi
