#!/usr/bin/env bash
# Decodes the same inputs twice, under two allocator fill bytes (fresh
# memory all 0x00, then all 0xAA), and compares every decoded pixel: a
# decoder that leaves a pixel unset gives two different digests. The inputs
# are the seed corpus plus what a brief fuzzing run derives from it: a run
# of RUNS inputs made here, or the inputs an earlier run kept in a folder
# (the ctest runs read what the target's brief run kept).
#   determinism.sh BINARY CORPUS [RUNS | DERIVED_FOLDER]
set -euo pipefail
binary=$1
corpus=$2
runs=${3:-2000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"

if [ -d "$runs" ]; then
  derived=$runs
else
  derived=$work/corpus
  "$binary" -seed=1 -runs="$runs" -artifact_prefix="$work/" "$derived" "$corpus" >"$work/fuzz.log" 2>&1 \
    || { cat "$work/fuzz.log"; exit 1; }
fi
shopt -s nullglob
inputs=("$corpus"/* "$derived"/*)
for fill in 0 170; do
  # max_malloc_fill_size: every byte of every block, not only the first 4 KiB.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}malloc_fill_byte=$fill:max_malloc_fill_size=2147483647" \
  MARKOGRAPH_FUZZ_DIGEST="$work/digest-$fill" "$binary" -artifact_prefix="$work/" "${inputs[@]}" >"$work/run-$fill.log" 2>&1 \
    || { cat "$work/run-$fill.log"; exit 1; }
done
if ! diff <(sort -u "$work/digest-0") <(sort -u "$work/digest-170") >"$work/diff"; then
  echo "$(basename "$binary"): decoded pixels depend on the allocator's fill byte:"
  head -n 40 "$work/diff"
  exit 1
fi
decoded=$(grep -vc refused "$work/digest-0" || true)
refused=$(grep -c refused "$work/digest-0" || true)
echo "$(basename "$binary"): ${#inputs[@]} inputs, $decoded decodings and $refused refusals, alike under fill bytes 0x00 and 0xAA"
