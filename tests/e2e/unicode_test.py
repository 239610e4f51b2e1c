#!/usr/bin/python3
"""End to end: texts in every script typed through "@ui" lines and shown on screen.

Each script in unicode/ runs marvolt-host in a folder of its own, named in German and
Chinese (its TMPDIR, so its own "FieldDb.db", and its own XDG_CONFIG_HOME) on
drawing.dwg, with the block library at 项目/北京/été.dwg; its transcript is compared whole with the golden file beside it. Then
what the run wrote is read back byte for byte: the saved drawing by ezdxf, the field
database by the sqlite3 program, and the picture of the view pixel by pixel (Chinese
glyphs drawn, not the boxes of characters no font has).

Usage: unicode_test.py HOST DRAWING LIBRARY WORKDIR
"""
import glob
import os
import shutil
import subprocess
import sys
from collections import Counter

import ezdxf

import pngimage
from drawingchecks import Failures, added
from golden import report, run_in_folder

HERE = os.path.dirname(os.path.abspath(__file__))
LIBRARY_PATH = os.path.join("项目", "北京", "été.dwg")
# Typed at the attribute prompts, in the order the block asks for them.
ATTRIBUTES = ["Ωμέγα", "Привет 😀", "Büro Straße"]
# The Field Manager's list as typed: in the key dialog, the last value in place.
FIELDS = [("Büro", "été.dwg"), ("Straße", "Ωμέγα"), ("Привет", "项目/北京"), ("😀", "Grüße 😀 from 北京")]
# The sample drawing's own custom properties, which saving the list to it keeps.
SAMPLE_PROPERTIES = {"Project": "Harbour Office", "Drawn by": "J. Marsh"}
# Private-use characters: no font has them, so they are drawn as boxes.
BOXES = "\ue000\ue001"


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def check_written(raw, texts, f):
    """The saved file holds each text's UTF-8 bytes as typed."""
    for text in texts:
        f.expect(text.encode("utf-8") in raw, f"the saved drawing lacks the bytes of {text!r}")


def check_library_path(folder, original, f):
    saved = ezdxf.readfile(os.path.join(folder, "final.dwg"))
    inserts = [e for e in added(original, saved) if e.dxftype() == "INSERT"]
    f.expect(len(inserts) == 1 and inserts[0].dxf.name == "TITLETAG", f"added {[e.dxftype() for e in inserts]}")
    if inserts:
        got = [a.dxf.text for a in inserts[0].attribs]
        f.expect(got[:len(ATTRIBUTES)] == ATTRIBUTES, f"attribute texts {got} instead of {ATTRIBUTES}")
    check_written(read_bytes(os.path.join(folder, "final.dwg")), ATTRIBUTES, f)


def sqlite(folder, command):
    run = subprocess.run(["sqlite3", os.path.join(folder, "FieldDb.db"), command], capture_output=True)
    return run.stdout.decode("utf-8").strip().splitlines() if run.returncode == 0 else [f"sqlite3 failed: {run.stderr!r}"]


def check_field_keys(folder, original, f):
    got = dict(ezdxf.readfile(os.path.join(folder, "final.dwg")).header.custom_vars)
    want = dict(SAMPLE_PROPERTIES, **dict(FIELDS))
    f.expect(got == want, f"custom properties {got} instead of {want}")
    check_written(read_bytes(os.path.join(folder, "final.dwg")), [t for pair in FIELDS for t in pair], f)
    tables = sqlite(folder, "SELECT name FROM sqlite_master WHERE type = 'table';")
    f.expect(tables == ["Straße"], f"tables {tables}")
    rows = sqlite(folder, 'SELECT FieldName, FieldValue FROM "Straße" ORDER BY Key;')
    want = [f"{k}|{v}" for k, v in FIELDS]
    f.expect(rows == want, f"rows {rows} instead of {want}")
    # The file's text encoding is UTF-16 (little-endian here): the bytes stored, as typed.
    stored = sqlite(folder, 'SELECT hex(FieldName), hex(FieldValue) FROM "Straße" ORDER BY Key;')
    want = [f"{k.encode('utf-16-le').hex().upper()}|{v.encode('utf-16-le').hex().upper()}" for k, v in FIELDS]
    f.expect(stored == want, f"stored bytes {stored} instead of {want}")


# --- glyphs in the picture of the view ---

def ink(rows):
    """True where a pixel stands out from the background (the commonest colour)."""
    background = Counter(p for row in rows for p in row).most_common(1)[0][0]
    return [[sum(abs(a - b) for a, b in zip(p, background)) > 120 for p in row] for row in rows]


def bands(mask, least=20):
    """The runs of rows with ink, top down, leaving out specks (the drawing's points)."""
    found, top = [], None
    for y, row in enumerate(mask + [[False]]):
        if any(row) and top is None:
            top = y
        elif not any(row) and top is not None:
            if sum(sum(r) for r in mask[top:y]) >= least:
                found.append((top, y))
            top = None
    return found


def shapes(mask, band):
    """The ink of a band split at the columns without any: glyphs or parts of glyphs."""
    top, bottom = band
    inked = [any(mask[y][x] for y in range(top, bottom)) for x in range(len(mask[0]))] + [False]
    found, start = [], None
    for x, c in enumerate(inked):
        if c and start is None:
            start = x
        elif not c and start is not None:
            found.append({(u, y) for y in range(top, bottom) for u in range(start, x) if mask[y][u]})
            start = None
    return found


def is_box(shape):
    """A box glyph: ink all round its edges and none inside."""
    xs, ys = [x for x, _ in shape], [y for _, y in shape]
    x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)
    inset = max(3, round(0.15 * min(x1 - x0, y1 - y0)))

    def share(cells):
        return sum(c in shape for c in cells) / len(cells) if cells else 0

    edges = [share([(x, y) for x in range(x0, x1 + 1)]) for y in (y0, y1)]
    edges += [share([(x, y) for y in range(y0, y1 + 1)]) for x in (x0, x1)]
    inside = share([(x, y) for x in range(x0 + inset, x1 - inset + 1) for y in range(y0 + inset, y1 - inset + 1)])
    return min(edges) > 0.85 and inside < 0.02


def check_field_glyphs(folder, original, f):
    _, _, rows = pngimage.read(os.path.join(folder, "glyphs.png"))
    mask = ink(rows)
    found = bands(mask)
    f.expect(len(found) == 2, f"{len(found)} texts in the picture instead of 2")
    if len(found) != 2:
        return
    chinese, boxes = ([is_box(s) for s in shapes(mask, band)] for band in found)
    # The boxes of characters no font has show that a box would be seen.
    f.expect(boxes == [True, True], f"the characters no font has were not drawn as two boxes: {boxes}")
    f.expect(chinese and not any(chinese), f"北京 was drawn with boxes: {chinese}")


CHECKS = {"library_path": check_library_path, "field_keys": check_field_keys, "field_glyphs": check_field_glyphs}


def glyph_drawing(path):
    """A drawing with a Chinese property, one whose characters no font has, and two
    points that span the view."""
    doc = ezdxf.new("R2018")
    doc.header.custom_vars.append("项目", "北京")
    doc.header.custom_vars.append("Boxes", BOXES)
    doc.modelspace().add_point((0, 0))
    doc.modelspace().add_point((80, 60))
    doc.saveas(path)


def lay_out(folder, name, drawing, library):
    os.makedirs(os.path.join(folder, os.path.dirname(LIBRARY_PATH)))
    shutil.copyfile(library, os.path.join(folder, LIBRARY_PATH))
    if name == "field_glyphs":
        glyph_drawing(os.path.join(folder, "drawing.dwg"))
    else:
        shutil.copyfile(drawing, os.path.join(folder, "drawing.dwg"))


def main(host, drawing, library, work):
    host, drawing, library, work = (os.path.abspath(p) for p in (host, drawing, library, work))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    failures = []
    scripts = sorted(glob.glob(os.path.join(HERE, "unicode", "*.scr")))
    for script in scripts:
        name = os.path.splitext(os.path.basename(script))[0]
        # The user's own folders have such names too: the temporary folder, the settings.
        folder = os.path.join(work, name + " Büro 北京")
        lay_out(folder, name, drawing, library)
        original = ezdxf.readfile(os.path.join(folder, "drawing.dwg"))
        ran, problems = run_in_folder(host, script, folder)
        f = Failures(problems)
        if ran:
            CHECKS[name](folder, original, f)
        failures += [f"{name}: {p}" for p in f]
    return report(len(scripts), failures)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
