#!/usr/bin/env bash
# Runs the tool on a demo installation made for the occasion: a Wine-style prefix whose
# registry names a game folder with three save slots and read-history files. Answer the
# prompt with y or n; afterwards the demo shows what happened to each file.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/ensure-deps.sh native
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target orvane-savefix orvane-demo >/dev/null

demo=$(mktemp -d "${TMPDIR:-/tmp}/orvane-demo.XXXXXX")
build/native/tools/orvane-demo setup "$demo/wineprefix" "$demo/Orvane"
echo "Demo installation: $demo/Orvane (registry: $demo/wineprefix/user.reg)"
echo
WINEPREFIX="$demo/wineprefix" build/native/orvane-savefix
build/native/tools/orvane-demo report "$demo/Orvane"
