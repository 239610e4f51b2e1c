#!/usr/bin/python3
"""End to end: the drawing view follows what the module's commands do to the drawing.

Each script in view/ shows the view ("@ui show view": the entities it counts and every
text as it displays it) before and after the commands it runs, on a drawing made by
make_view_drawing.py or, for burst_nested, burst.dwg of make_command_drawings.py. The
transcript is compared whole with the golden file beside the script, and the saved
drawing is read back with ezdxf. The host runs in the work
folder and is given the drawings by name, so that the paths the view prints and the
pictures "@ui shot" saves stay inside it.

Usage: view_test.py HOST WORKDIR
"""
import os
import shutil
import sys

import ezdxf

import make_command_drawings
import make_view_drawing
from drawingchecks import Failures, added, by_handle
from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))


def contents(e):
    return e.text if e.dxftype() == "MTEXT" else e.dxf.text


def on_layer(doc, layer):
    return sorted(e.dxftype() for e in doc.modelspace() if e.dxf.layer == layer)


def check_texts_moved(original, saved, f):
    f.expect(on_layer(saved, "OFF") == ["DIMENSION", "INSERT"], f"left on OFF: {on_layer(saved, 'OFF')}")
    moved = [e for e in saved.modelspace() if e.dxf.layer == "CURRENT"]
    # The contents are moved as stored; only the view turns the codes into what they show.
    got = [(e.dxftype(), contents(e)) for e in moved]
    want = [("TEXT", "50%%d %%c20 %%p0.1"), ("MTEXT", make_view_drawing.MTEXT), ("TEXT", "Plain")]
    f.expect(got == want, f"on CURRENT: {got}")


def check_dims_inserts_moved(original, saved, f):
    dims = saved.modelspace().query("DIMENSION")
    f.expect([d.dxf.layer for d in dims] == ["CURRENT"], f"dimension on {[d.dxf.layer for d in dims]}")
    layers = {e.dxf.name + str(e.dxf.insert.y): [e.dxf.layer] + [a.dxf.layer for a in e.attribs]
              for e in saved.modelspace().query("INSERT")}
    # The attributes go along with their reference, those of the one on "ANNO" too.
    want = {"LABEL20.0": ["ANNO"] * 3, "NOTE10.0": ["ANNO"] * 3, "NOTE20.0": ["LOCKED", "0", "0"]}
    f.expect(layers == want, f"reference and attribute layers {layers}")


def check_burst_formatted(original, saved, f):
    left = [e.dxf.name for e in saved.modelspace().query("INSERT")]
    f.expect(left == ["NOTE"], f"references left: {left}")
    new = added(original, saved)
    texts = [(e.dxftype(), contents(e)) for e in new if e.dxftype() in ("TEXT", "MTEXT")]
    want = [("TEXT", "%%c20"), ("TEXT", "Ann"), ("TEXT", "%%c12"), ("TEXT", "Z9"),
            ("MTEXT", "{\\C1;Red} and \\W2;wide"), ("TEXT", "%%uUnder%%u")]
    f.expect(texts == want, f"texts made: {texts}")
    f.expect(not [e for e in new if e.dxftype() in ("ATTRIB", "ATTDEF")], "attributes were carried over")


def check_burst_nested(original, saved, f):
    names = sorted(e.dxf.name for e in saved.modelspace().query("INSERT"))
    f.expect(names == ["INNER", "TAG"], f"references left: {names}")
    texts = [e.dxf.text for e in saved.modelspace().query("TEXT")]
    f.expect(texts == ["7", "Ann", "hidden", "2"], f"texts: {texts}")


def check_ncopy_texts(original, saved, f):
    new = added(original, saved)
    got = [(e.dxftype(), contents(e), tuple(round(c, 9) for c in e.dxf.insert)) for e in new]
    want = [("MTEXT", "{\\C1;Red} and \\W2;wide", (50, 12, 0)), ("TEXT", "%%c12", (50, 9, 0))]
    f.expect(got == want, f"copies: {got}")


def check_flip_and_purge(original, saved, f):
    f.expect([name for name, _ in saved.groups] == ["KEPT"], f"groups: {[name for name, _ in saved.groups]}")
    f.expect(set(by_handle(saved)) == set(by_handle(original)), "entities were added or removed")
    plain = next(e for e in saved.modelspace().query("TEXT") if e.dxf.text == "Plain")
    f.expect(tuple(plain.dxf.extrusion) == (0, 0, -1), f"the text was not turned over: {plain.dxf.extrusion}")
    note = next(e for e in saved.modelspace().query("INSERT") if e.dxf.layer == "ANNO")
    at = note.ocs().to_wcs(note.dxf.insert)
    f.expect(tuple(note.dxf.extrusion) == (0, 0, -1) and at.isclose((38, 10, 0)),
             f"the reference was not flipped about its middle: {note.dxf.extrusion} at {at}")


def check_shots(original, saved, f):
    pictures = []
    for name in ("before.png", "after.png"):
        try:
            with open(name, "rb") as png:
                data = png.read()
        except OSError as e:
            f.append(f"{name}: {e}")
            continue
        f.expect(data.startswith(b"\x89PNG\r\n\x1a\n"), f"{name} is not a PNG")
        f.expect(len(data) > 4000, f"{name} holds only {len(data)} bytes")
        pictures.append(data)
    # What was on the layer that is off shows in the second picture only.
    f.expect(len(pictures) == 2 and pictures[0] != pictures[1], "the two pictures are the same")
    f.expect(on_layer(saved, "OFF") == [], f"left on OFF: {on_layer(saved, 'OFF')}")


CASES = [
    # script, drawing, check of the saved drawing (against the drawing it started from)
    ("texts_to_current", "view.dwg", check_texts_moved),
    ("dims_inserts_to_current", "view.dwg", check_dims_inserts_moved),
    ("burst_formatted", "view.dwg", check_burst_formatted),
    ("burst_nested", "burst.dwg", check_burst_nested),
    ("ncopy_texts", "view.dwg", check_ncopy_texts),
    ("flip_and_purge", "view.dwg", check_flip_and_purge),
    ("palette_shot", "view.dwg", check_shots),
]


def main(host, work):
    host, work = os.path.abspath(host), os.path.abspath(work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.chdir(work)
    make_view_drawing.main("view.dwg")
    make_command_drawings.burst("burst.dwg")
    failures = []
    for name, drawing, check in CASES:
        saved = name + ".dwg"
        ran, messages = run_script(host, drawing, os.path.join(HERE, "view", name + ".scr"), saved, work)
        f = Failures(messages)
        if ran:
            check(ezdxf.readfile(drawing), ezdxf.readfile(saved), f)
        failures += [f"{name}: {message}" for message in f]
    return report(len(CASES), failures)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
