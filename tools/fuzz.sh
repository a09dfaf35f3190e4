#!/usr/bin/env bash
# Fuzzes the save filter for SECONDS (default 60) under AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from seeds made by our own generator.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

bash tools/ensure-deps.sh all
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null

corpus=build/fuzz/corpus
seeds=build/fuzz/seeds
mkdir -p "$corpus" "$seeds"
build/fuzz/fuzz/make_seeds "$seeds"
log=build/fuzz/last-run.log
# A save's memory must not grow with it: 64 MiB is far more than the filter ever needs.
status=0
build/fuzz/fuzz/save_stream_fuzz -max_total_time="$seconds" -max_len=140000 \
  -rss_limit_mb=512 -malloc_limit_mb=64 -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus" "$seeds" >"$log" 2>&1 ||
  status=$?
grep -E '^(#[0-9]+.*(DONE|INITED)|stat::|Done|==[0-9]+==|SUMMARY|property|artifact)' "$log" || true
[[ $status -eq 0 ]] || { echo "fuzzing failed (exit $status); the whole log is in $log" >&2; exit 1; }
