#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the main suite, then
# a brief run of each fuzz target (its seed corpus and 2,000 inputs more, in
# build-fuzz/). The last lines are ctest's summary of the main suite.
#   ./test.sh             the main suite and the brief fuzz runs
#   ./test.sh --sanitize  and the whole suite again under AddressSanitizer +
#                         UndefinedBehaviorSanitizer (build-asan/)
#   ./test.sh --quick     the main suite alone (no fuzz build, no clang): the
#                         inner loop while working
# The main suite runs two tests at a time.
set -euo pipefail
cd "$(dirname "$0")"
sanitize=0
quick=0
for arg in "$@"; do
  case $arg in
    --sanitize) sanitize=1 ;;
    --quick) quick=1 ;;
    *) echo "usage: $0 [--quick | --sanitize]" >&2; exit 2 ;;
  esac
done
if [ "$quick" -eq 1 ] && [ "$sanitize" -eq 1 ]; then
  echo "usage: $0 [--quick | --sanitize]" >&2; exit 2
fi
if [ "$quick" -eq 1 ]; then
  scripts/install-deps.sh
  cmake --preset default >/dev/null
  cmake --build --preset default
  exec ctest --preset default -j2
fi
scripts/install-deps.sh --clang
export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14

cmake --preset default >/dev/null
cmake --build --preset default
main_log=$(mktemp)
trap 'rm -f "$main_log"' EXIT
ctest --preset default -j2 2>&1 | tee "$main_log"

failed=()
echo "== Fuzz targets, brief runs (build-fuzz/)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
results=build-fuzz/fuzz/smoke-results
rm -rf "$results"
ctest --preset fuzz -j2 || failed+=("fuzz targets")
cat "$results"/*.txt 2>/dev/null || true

if [ "$sanitize" -eq 1 ]; then
  echo "== The whole suite under AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)"
  cmake --preset asan >/dev/null
  if cmake --build --preset asan; then
    ctest --preset asan -j2 || failed+=("sanitizer suite")
  else
    failed+=("sanitizer build")
  fi
fi

echo "== Main suite"
[ ${#failed[@]} -eq 0 ] || echo "FAILED: ${failed[*]} (see above)"
sed -n '/tests passed, /,$p' "$main_log"
[ ${#failed[@]} -eq 0 ]
