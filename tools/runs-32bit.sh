#!/usr/bin/env bash
# Exits 0 if this kernel runs 32-bit x86 programs. Some sandboxed kernels refuse them ("Exec
# format error"), and there the 32-bit Windows program cannot run under Wine. The probe is the
# smallest i386 ELF program there is: exit(0) through int 0x80, written byte by byte.
set -u
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
{
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'  # 32-bit, little-endian
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'          # executable, i386, entry
  printf '\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'          # program headers at 52
  printf '\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'          # one of 32 bytes
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'  # load it all
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'                      # exit(0)
} >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
