#!/usr/bin/env bash
# The brief run of one fuzz target, as ./test.sh runs it through ctest: the
# seed corpus, then a bounded number of further inputs (the -runs=N given),
# with a fixed seed. New inputs go to a scratch folder that is thrown away,
# so the committed corpus never changes. Prints the figures in one line;
# fails, with libFuzzer's report and the input, on any crash, sanitizer
# report, leak or time-out. With MARKOGRAPH_FUZZ_KEEP=DIR the inputs the run
# derived are kept in DIR (emptied first) for a later test to read.
#   smoke.sh BINARY CORPUS [libFuzzer options...]
set -euo pipefail
binary=$1
corpus=$2
shift 2
name=$(basename "$binary")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/artifacts"

start=$(date +%s%N)
if ! "$binary" -seed=1 -timeout=60 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
     "$@" "$work/corpus" "$corpus" >"$work/log" 2>&1; then
  cat "$work/log"
  # Keep what failed beside the build, and show it, so that a CI log alone
  # is enough to reproduce it.
  mkdir -p fuzz-artifacts
  for artifact in "$work"/artifacts/*; do
    [ -e "$artifact" ] || continue
    cp "$artifact" "fuzz-artifacts/$name-$(basename "$artifact")"
    echo "input kept as $PWD/fuzz-artifacts/$name-$(basename "$artifact") (base64 below):"
    base64 "$artifact" | head -c 20000
    echo
  done
  echo "$name: FAILED"
  exit 1
fi
ms=$(( ($(date +%s%N) - start) / 1000000 ))
if [ -n "${MARKOGRAPH_FUZZ_KEEP:-}" ]; then
  rm -rf "$MARKOGRAPH_FUZZ_KEEP"
  mkdir -p "$MARKOGRAPH_FUZZ_KEEP"
  cp -r "$work/corpus/." "$MARKOGRAPH_FUZZ_KEEP/"
fi
execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/log" | tail -n 1)
cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
line=$(printf '%s: %s inputs in %d.%d s, no crash; coverage cov %s ft %s' "$name" "${execs:-?}" \
  $((ms / 1000)) $((ms % 1000 / 100)) "${cov:-?}" "${ft:-?}")
echo "$line"
# ./test.sh shows these lines after the ctest run.
mkdir -p smoke-results
echo "$line" >"smoke-results/$name.txt"
