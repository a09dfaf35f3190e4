#!/usr/bin/env bash
# Runs COMMAND with a fresh Wine prefix for the Wine loader LOADER:
#   under-wine.sh LOADER COMMAND...
# COMMAND is the loader and a Windows program, or a native test that starts Windows programs
# itself (it finds the loader in ORVANE_WINE). Exits 77, which ctest shows as skipped, where
# this kernel cannot start the loader: the 32-bit one needs a kernel that runs 32-bit programs.
set -u
loader=$1
shift
if ! "$loader" --version >/dev/null 2>&1; then
  echo "skipped: this machine cannot start $loader (a 32-bit loader needs a kernel that runs 32-bit programs)"
  exit 77
fi
prefix=$(mktemp -d "${TMPDIR:-/tmp}/orvane-wine.XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' ORVANE_WINE=$loader
"$loader" wineboot -i >/dev/null 2>&1
"$@"
status=$?
wineserver -k >/dev/null 2>&1
rm -rf "$prefix"
exit $status
