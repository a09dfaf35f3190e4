#!/usr/bin/env bash
# Runs the benchmarks: the save filter against a plain copy, a whole run of the program against
# a copy-flush-rename baseline, and peak memory with very large saves. Not part of the tests.
#   bench/run.sh [stream|whole|realistic|memory]...   (default: all four)
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/ensure-deps.sh all
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target orvane-savefix stream_bench whole_run >/dev/null

parts=("$@")
[[ ${#parts[@]} -gt 0 ]] || parts=(stream whole realistic memory)
for part in "${parts[@]}"; do
  case "$part" in
    stream)
      json=$(mktemp)
      build/native/bench/stream_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_out="$json" --benchmark_out_format=json
      python3 - "$json" <<'PY'
import json, sys
runs = {b["name"]: b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("aggregate_name") == "median"}
for size in ("4096", "1048576", "67108864"):
    copy = runs[f"PlainCopy/{size}/real_time_median"]["bytes_per_second"]
    fix = runs[f"CorrectSaveStream/{size}/real_time_median"]["bytes_per_second"]
    print(f"{int(size) // 1024:>6} KiB: plain copy {copy / 2**20:8.1f} MiB/s, CorrectSaveStream "
          f"{fix / 2**20:8.1f} MiB/s, ratio {fix / copy:.2f} (goal >= 0.8 at 1 MiB and 64 MiB)")
PY
      rm -f "$json" ;;
    whole)
      echo "goal: a median ratio <= 1.3 at 256 saves of 4 MiB"
      build/native/bench/whole_run build/native/orvane-savefix ratio 256 4096 3 ;;
    realistic)
      # The game's own saves are tens of KiB.
      echo "goal: a median ratio <= 1.5 at 256 saves of 32 KiB (5 rounds)"
      build/native/bench/whole_run build/native/orvane-savefix ratio 256 32 5
      echo "an installation of 20 saves of 32 KiB (5 rounds)"
      build/native/bench/whole_run build/native/orvane-savefix ratio 20 32 5 ;;
    memory) build/native/bench/whole_run build/native/orvane-savefix memory ;;
    *) echo "unknown part: $part" >&2; exit 2 ;;
  esac
done
