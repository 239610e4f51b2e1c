#!/usr/bin/python3
"""End to end: marvolt-host saves a drawing with a preview of it.

A drawing made by ezdxf (a red line along the bottom, a blue one up the left side, 100
by 50 units) is opened and saved by the host; ezdxf then reads the saved file, and the
THUMBNAILIMAGE section's bytes (read from ezdxf's raw tags, as its document model does
not give them) must be a bitmap of the drawing's aspect: 256 x 128 pixels, rows as long
as its header says, red along the bottom, blue up the left, black elsewhere. The
bitmap is also written as a .bmp file into the work folder, to look at.

Usage: preview_test.py HOST WORKDIR
"""
import os
import struct
import subprocess
import sys

import ezdxf
from ezdxf.lldxf.tagger import ascii_tags_loader

HEADER = struct.Struct("<IiiHHIIiiII")  # BITMAPINFOHEADER


def make_drawing(path):
    doc = ezdxf.new("R2018")
    model = doc.modelspace()
    model.add_line((0, 0), (100, 0), dxfattribs={"color": 1})
    model.add_line((0, 0), (0, 50), dxfattribs={"color": 5})
    doc.saveas(path)


def preview_bytes(path):
    """The declared byte count and the data of the THUMBNAILIMAGE section, or None."""
    with open(path, encoding="utf-8") as f:
        tags = [(t.code, t.value) for t in ascii_tags_loader(f)]
    for i in range(len(tags) - 1):
        if tags[i] == (0, "SECTION") and tags[i + 1] == (2, "THUMBNAILIMAGE"):
            section = tags[i + 2:tags.index((0, "ENDSEC"), i)]
            count = next(int(v) for c, v in section if c == 90)
            return count, bytes.fromhex("".join(v for c, v in section if c == 310))
    return None


def decode(dib, f):
    """(width, height, rows top-down of (r, g, b)) of an 8-bit bitmap, or None."""
    size, width, height, planes, bits, compression, image_size, _, _, used, _ = HEADER.unpack_from(dib)
    f.expect((size, planes, bits, compression) == (40, 1, 8, 0), f"header {size, planes, bits, compression}")
    colours = used or 256
    stride = (width + 3) // 4 * 4
    f.expect(height > 0, "rows are not bottom-up")
    f.expect(len(dib) == 40 + 4 * colours + stride * height == 40 + 4 * colours + image_size,
             f"{len(dib)} bytes for {width} x {height} and {colours} colours")
    if f:
        return None
    table = [tuple(dib[40 + 4 * i + k] for k in (2, 1, 0)) for i in range(colours)]
    first = 40 + 4 * colours
    rows = [[table[dib[first + r * stride + x]] for x in range(width)] for r in range(height)]
    return width, height, rows[::-1]


def as_bmp(dib, path):
    size, _, _, _, _, _, _, _, _, used, _ = HEADER.unpack_from(dib)
    offset = 14 + size + 4 * (used or 256)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(dib), 0, 0, offset) + dib)


class Failures(list):
    def expect(self, condition, message):
        if not condition:
            self.append(message)


def check_picture(width, height, rows, f):
    f.expect((width, height) == (256, 128), f"preview is {width} x {height}, not 256 x 128")
    red, blue, black = (255, 0, 0), (0, 0, 255), (0, 0, 0)
    colours = {c for row in rows for c in row}
    f.expect(colours <= {red, blue, black}, f"colours {sorted(colours)}")
    bottom = [r for r in range(height) if rows[r].count(red) > width // 2]
    left = [x for x in range(width) if sum(row[x] == blue for row in rows) > height // 2]
    f.expect(bottom and min(bottom) > height - 8, f"red rows {bottom}")
    f.expect(left and max(left) < 8, f"blue columns {left}")


def main():
    host, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    drawing, saved = os.path.join(work, "lines.dxf"), os.path.join(work, "lines-saved.dwg")
    script = os.path.join(work, "nothing.scr")
    make_drawing(drawing)
    with open(script, "w") as s:
        s.write("")
    env = dict(os.environ, TMPDIR=work, XDG_CONFIG_HOME=os.path.join(work, "config"))
    run = subprocess.run([host, "--open", drawing, "--script", script, "--module", "none", "--save", saved],
                         capture_output=True, text=True, env=env)
    f = Failures()
    f.expect(run.returncode == 0, f"exit status {run.returncode}: {run.stderr.strip()}")
    if not f:
        doc = ezdxf.readfile(saved)
        f.expect(not doc.audit().has_errors, "ezdxf's audit finds errors")
        f.expect(len(doc.modelspace().query("LINE")) == 2, "the lines are not both saved")
        found = preview_bytes(saved)
        f.expect(found is not None, "no THUMBNAILIMAGE section")
        if found:
            count, dib = found
            f.expect(count == len(dib), f"group 90 says {count} bytes, the data has {len(dib)}")
            as_bmp(dib, os.path.join(work, "lines-preview.bmp"))
            picture = decode(dib, f)
            if picture:
                check_picture(*picture, f)
    for message in f:
        print(message)
    print(f"preview: {len(f)} failures")
    return 1 if f else 0


if __name__ == "__main__":
    sys.exit(main())
