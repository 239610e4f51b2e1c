#!/usr/bin/python3
"""End to end: "zelblockicon" on a drawing of every kind of block, then the saved drawing
used as a library in the Block Manager.

The first run makes icons twice (make_icons.scr) and saves; its transcript is golden.
The saved file is read back by an independent reader: the block records' 310 chunks,
each icon turned into a BMP file (a 14-byte file header added) and decoded here with
the standard library. The second run (list_icons.scr) lists the saved drawing's blocks
with their pictures.

Usage: blockicon_test.py HOST WORKDIR
"""
import os
import shutil
import struct
import subprocess
import sys

import ezdxf

from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, "..", "fixtures", "make_fixtures.py")
DRAWN = ["SQUARE", "CIRCLE", "NESTED", "LABEL"]
PASSED_BY = ["EMPTY", "PARTS", "SITE", "*Model_Space", "*Paper_Space"]


def record_icons(path):
    """Block record name -> its preview bytes, read from the raw tags."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    pairs = [(int(lines[i]), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]
    icons, name, in_record = {}, None, False
    for code, value in pairs:
        if code == 0:
            in_record, name = value == "BLOCK_RECORD", None
        elif in_record and code == 2:
            name = value
            icons[name] = b""
        elif in_record and code == 310 and name is not None:
            icons[name] += bytes.fromhex(value)
    return icons


def as_bmp_file(dib):
    """The packed bitmap with the file header a BMP file starts with."""
    colours = 256 if struct.unpack_from("<H", dib, 14)[0] == 8 else 0
    offset = 14 + 40 + 4 * colours
    return struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, offset) + dib


def decode_bmp(data):
    """(width, height, rows top-down of (r, g, b)) from a BMP file; raises on anything
    but an uncompressed 8-bit bottom-up bitmap."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    if magic != b"BM" or size != len(data):
        raise ValueError(f"file header {magic} {size} for {len(data)} bytes")
    (hsize, width, height, planes, bits, compression, image_size, xres, yres, used,
     important) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    if (hsize, planes, bits, compression) != (40, 1, 8, 0) or height <= 0:
        raise ValueError(f"header {hsize} {planes} {bits} {compression} {height}")
    if (image_size, xres, yres, used, important) != (0, 0, 0, 0, 0):
        raise ValueError("the icon's other header fields are not 0")
    table = [struct.unpack_from("<BBBB", data, 54 + 4 * i)[2::-1] for i in range(256)]
    stride = (width + 3) // 4 * 4
    rows = []
    for r in range(height):
        start = offset + (height - 1 - r) * stride
        rows.append([table[i] for i in data[start:start + width]])
    return width, height, rows


def ink_box(rows):
    ink = [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c != (255, 255, 255)]
    if not ink:
        return None
    xs, ys = [p[0] for p in ink], [p[1] for p in ink]
    return min(xs), min(ys), max(xs), max(ys), set(ink)


def check_square(rows, f):
    """The square's icon is an outline: ink on the four edges of its box, none inside."""
    box = ink_box(rows)
    if not box:
        f.append("SQUARE: the icon is blank")
        return
    x0, y0, x1, y1, ink = box
    if x1 - x0 < 10 or abs((x1 - x0) - (y1 - y0)) > 1:
        f.append(f"SQUARE: ink box {x0},{y0} .. {x1},{y1} is no square")
    edges = all((x, y0) in ink and (x, y1) in ink for x in range(x0, x1 + 1))
    edges = edges and all((x0, y) in ink and (x1, y) in ink for y in range(y0, y1 + 1))
    inside = any((x, y) in ink for x in range(x0 + 2, x1 - 1) for y in range(y0 + 2, y1 - 1))
    if not edges or inside:
        f.append(f"SQUARE: not an outline (edges {edges}, ink inside {inside})")


def check_saved(original, saved, f):
    before, after = record_icons(original), record_icons(saved)
    for name in DRAWN:
        icon = after.get(name, b"")
        if len(icon) != 2088:
            f.append(f"{name}: icon of {len(icon)} bytes")
            continue
        try:
            width, height, rows = decode_bmp(as_bmp_file(icon))
        except ValueError as e:
            f.append(f"{name}: {e}")
            continue
        if (width, height) != (32, 32):
            f.append(f"{name}: {width} x {height}")
        if not ink_box(rows):
            f.append(f"{name}: the icon is blank")
        if name == "SQUARE":
            if icon == before.get("SQUARE"):
                f.append("SQUARE: the stale icon was kept")
            check_square(rows, f)
    for name in PASSED_BY + [n for n in after if n.startswith("*U")]:
        if after.get(name):
            f.append(f"{name}: got an icon of {len(after[name])} bytes")
    if not any(n.startswith("*U") for n in after):
        f.append("the anonymous block is gone")
    doc = ezdxf.readfile(saved)
    if doc.audit().has_errors:
        f.append("ezdxf's audit finds errors in the saved drawing")


def main(host, work):
    host, work = os.path.abspath(host), os.path.abspath(work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    fixtures = os.path.join(work, "fixtures")
    subprocess.run([sys.executable, FIXTURES, fixtures], check=True, capture_output=True)
    drawing = os.path.join(work, "drawing.dwg")
    shutil.copyfile(os.path.join(fixtures, "block_icons.dxf"), drawing)
    failures = []
    for name in ("make_icons", "list_icons"):
        shutil.copyfile(os.path.join(HERE, "blockicon", name + ".scr"), os.path.join(work, name + ".scr"))
        shutil.copyfile(os.path.join(HERE, "blockicon", name + ".expected"), os.path.join(work, name + ".expected"))
    ran, problems = run_script(host, "drawing.dwg", os.path.join(work, "make_icons.scr"), "saved.dwg", work, cwd=work)
    failures += [f"make_icons: {p}" for p in problems]
    if ran:
        f = []
        check_saved(drawing, os.path.join(work, "saved.dwg"), f)
        failures += [f"make_icons: {p}" for p in f]
        ran, problems = run_script(host, "drawing.dwg", os.path.join(work, "list_icons.scr"), "listed.dwg", work, cwd=work)
        failures += [f"list_icons: {p}" for p in problems]
    return report(2, failures)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
