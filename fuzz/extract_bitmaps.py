#!/usr/bin/python3
"""Seeds for the fuzzers of bitmaps and of the preview reader, from drawing files: the
drawing previews (THUMBNAILIMAGE) and block icons (group 310 of BLOCK_RECORDs) as raw
bitmaps, and each drawing as the preview reader's input (a byte saying how much of the
file is its tail, then the file).

usage: extract_bitmaps.py DRAWINGS_DIR BITMAPS_DIR TAILS_DIR
"""
import os
import sys


def groups(data):
    lines = data.splitlines()
    for i in range(0, len(lines) - 1, 2):
        yield lines[i].strip(), lines[i + 1]


def bitmaps(data):
    found, hex_digits, record = [], [], None
    for code, value in groups(data):
        if code == b"0":
            if hex_digits:
                found.append(bytes.fromhex(b"".join(hex_digits).decode("ascii", "replace")))
            hex_digits, record = [], value.strip()
        elif code == b"310" and record in (b"BLOCK_RECORD", b"THUMBNAILIMAGE", b"SECTION"):
            hex_digits.append(value.strip())
    return found


def main(drawings, bitmaps_dir, tails_dir):
    for name in sorted(os.listdir(drawings)):
        with open(os.path.join(drawings, name), "rb") as f:
            data = f.read()
        try:
            found = bitmaps(data)
        except ValueError:
            found = []
        for i, bitmap in enumerate(found[:20]):
            with open(os.path.join(bitmaps_dir, f"{name}-{i}.bmp"), "wb") as out:
                out.write(bitmap)
        if len(data) < 1 << 20:
            for fraction in (255, 64):
                with open(os.path.join(tails_dir, f"{name}-{fraction}"), "wb") as out:
                    out.write(bytes([fraction]) + data)


if __name__ == "__main__":
    main(*sys.argv[1:])
