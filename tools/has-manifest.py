#!/usr/bin/env python3
"""Exits 0 if the Windows program carries a manifest resource (RT_MANIFEST), 1 if it has none,
2 if the file is no PE program. A manifest ends UAC virtualization, which the 32-bit exe needs
to see a legacy game's saves where the game sees them; some toolchains link one by default.
    has-manifest.py PROGRAM.exe
"""
import struct
import sys

RT_MANIFEST = 24


def resource_types(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rva, size = struct.unpack_from("<II", data, directories + 2 * 8)  # the resource directory
    if rva == 0 or size == 0:
        return []
    for i in range(sections):
        header = optional + optional_size + 40 * i
        virtual_size, address, raw_size, raw = struct.unpack_from("<IIII", data, header + 8)
        if address <= rva < address + max(virtual_size, raw_size):
            root = raw + rva - address
            named, ids = struct.unpack_from("<HH", data, root + 12)
            entries = root + 16
            return [struct.unpack_from("<I", data, entries + 8 * j)[0] for j in range(named, named + ids)]
    raise ValueError("resource directory outside every section")


def main():
    try:
        with open(sys.argv[1], "rb") as program:
            types = resource_types(program.read())
    except (OSError, ValueError, struct.error, IndexError) as error:
        print(f"{sys.argv[1]}: not a Windows program ({error})", file=sys.stderr)
        return 2
    if RT_MANIFEST in types:
        print(f"{sys.argv[1]}: carries a manifest")
        return 0
    print(f"{sys.argv[1]}: no manifest")
    return 1


if __name__ == "__main__":
    sys.exit(main())
