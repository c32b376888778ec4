#!/usr/bin/env python3
"""Appends the crash reporter's symbol table to a linked Windows program.

    make_symbols.py NM OBJDUMP SOURCE_ROOT PROGRAM

The table names every function of the program (from NM) and the source line
of every address of our own code (from OBJDUMP's decoded DWARF line table,
rows of files named like a source file under SOURCE_ROOT only). Text lines "U index unit", "P rva name"
and "L rva line unit-index", zlib-compressed, are appended to the program
followed by their size (4 bytes, little endian) and the marker "PDSYMTAB";
the Windows loader ignores data after the last section."""
import os
import re
import struct
import subprocess
import sys
import zlib

MARKER = b"PDSYMTAB"


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True, errors="replace").stdout


def image_base(objdump, program):
    m = re.search(r"^ImageBase\s+([0-9a-fA-F]+)", run(objdump, "-p", program), re.M)
    return int(m.group(1), 16)


def procedures(nm, program, base):
    out = []
    for line in run(nm, "-n", "-C", "--defined-only", program).splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in ("t", "T", "w", "W") and not parts[2].startswith("."):
            out.append((int(parts[0], 16) - base, parts[2]))
    return out


def source_names(root):
    names = set()
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith(".") and d != "build"]
        names.update(files)
    return names


def lines(objdump, program, base, root):
    # objdump names each row's file by its base name (and does not always
    # repeat the full path when the file changes): a row is ours when one of
    # our source files has that name.
    ours = source_names(root)
    units, rows = {}, []
    row = re.compile(r"^(\S+)\s+(\d+)\s+0x([0-9a-fA-F]+)")
    for text in run(objdump, "--dwarf=decodedline", program).splitlines():
        m = row.match(text)
        if m and m.group(1) in ours:
            unit = os.path.splitext(m.group(1))[0]
            index = units.setdefault(unit, len(units))
            rows.append((int(m.group(3), 16) - base, int(m.group(2)), index))
    return units, rows


def main():
    nm, objdump, root, program = sys.argv[1:5]
    root = os.path.realpath(root) + os.sep
    base = image_base(objdump, program)
    with open(program, "rb") as f:
        data = f.read()
    if data.endswith(MARKER):
        return  # already carries its table
    units, rows = lines(objdump, program, base, root)
    out = ["U %d %s" % (i, u) for u, i in sorted(units.items(), key=lambda e: e[1])]
    out += ["P %x %s" % p for p in procedures(nm, program, base)]
    out += ["L %x %d %d" % r for r in sorted(rows, key=lambda r: r[0])]
    packed = zlib.compress("\n".join(out).encode("latin-1", "replace"), 9)
    with open(program, "ab") as f:
        f.write(packed + struct.pack("<I", len(packed)) + MARKER)


if __name__ == "__main__":
    main()
