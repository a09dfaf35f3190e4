#!/usr/bin/env bash
# Builds both Windows programs and the native one (plain and with sanitizers) and runs every
# test: the unit tests of both Windows builds under Wine, the native unit tests, the
# end-to-end tests of all three programs in a pseudo-terminal, and the fault-injection and
# fuzzing runs. Installs what is missing first. Exits non-zero when any test fails.
# The 32-bit exe's tests need a kernel that runs 32-bit programs; elsewhere ctest shows them
# as skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/ensure-deps.sh all
export WINEDEBUG=-all

for preset in windows windows-x86 native native-asan; do
  echo "=== $preset: build" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
done

echo "=== fuzzing the save filter for 60 s" >&2
bash tools/fuzz.sh 60

for preset in windows windows-x86 native native-asan; do
  echo "=== $preset: tests" >&2
  ctest --preset "$preset"
done
