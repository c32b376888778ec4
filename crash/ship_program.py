#!/usr/bin/env python3
"""Makes the program that users get from a linked program with debug information.

    ship_program.py OBJCOPY BUILT SHIPPED

BUILT already carries the crash reporter's symbol table (make_symbols.py).
SHIPPED is BUILT without debug information and symbols, with that same table
appended again: stripping keeps every section at its address, so the table's
addresses stay right, and reports from SHIPPED still name unit, procedure and
line. The table itself is dropped by stripping (it lies after the last
section), which is why it is copied last."""
import os
import struct
import subprocess
import sys

MARKER = b"PDSYMTAB"


def table(data):
    """The appended table of a program file: zlib data, size, marker."""
    if not data.endswith(MARKER) or len(data) < len(MARKER) + 4:
        sys.exit("ship_program.py: the program carries no symbol table")
    size = struct.unpack("<I", data[-len(MARKER) - 4:-len(MARKER)])[0]
    start = len(data) - len(MARKER) - 4 - size
    if start < 0:
        sys.exit("ship_program.py: the symbol table is damaged")
    return data[start:]


def main():
    objcopy, built, shipped = sys.argv[1:4]
    with open(built, "rb") as f:
        symbols = table(f.read())
    partial = shipped + ".part"
    subprocess.run([objcopy, "--strip-all", built, partial], check=True)
    with open(partial, "ab") as f:
        f.write(symbols)
    os.replace(partial, shipped)


if __name__ == "__main__":
    main()
