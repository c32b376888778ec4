#!/usr/bin/env python3
"""Packs the reporter's option text into the stored form of the "VLDATA"
resource: the text scrambled byte by byte, then zlib-compressed."""
import sys
import zlib


def scramble(data: bytes) -> bytes:
    return bytes(b ^ ((0xA5 + i * 7) & 0xFF) for i, b in enumerate(data))


def main() -> None:
    source, target = sys.argv[1], sys.argv[2]
    with open(source, "rb") as f:
        text = f.read()
    with open(target, "wb") as f:
        f.write(zlib.compress(scramble(text), 9))


if __name__ == "__main__":
    main()
