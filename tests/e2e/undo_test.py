#!/usr/bin/python3
"""End to end: undo, redo and erase, by command, by the Edit menu and from the palette.

Each script in undo/ runs marvolt-host on a drawing and saves it; its transcript is
compared whole with the golden file beside it. The saved drawings are then read by ezdxf
and compared whole with the drawing a run should match: a step taken back must give the
drawing as a run without it writes it (every entity, handle, block definition, layer,
group and custom property), and a step redone the drawing as the step alone gave it.

Usage: undo_test.py HOST ANNOTATIONS LIBRARY WORKDIR
"""
import os
import shutil
import subprocess
import sys

import ezdxf
from ezdxf import path as hatchpath

from drawingchecks import Failures
from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))


def plain(value):
    """A DXF attribute value as something that compares by content."""
    if hasattr(value, "__iter__") and not isinstance(value, str):
        return tuple(round(v, 9) if isinstance(v, float) else v for v in value)
    return round(value, 9) if isinstance(value, float) else value


def entity_state(entity):
    attributes = {k: plain(v) for k, v in entity.dxfattribs().items()}
    extra = ()
    if entity.dxftype() == "INSERT":
        extra = tuple((a.dxf.handle, a.dxf.tag, a.dxf.text) for a in entity.attribs)
    elif entity.dxftype() == "MTEXT":
        extra = (entity.text,)
    elif entity.dxftype() == "LWPOLYLINE":
        extra = tuple(plain(p) for p in entity.get_points())
    elif entity.dxftype() == "POLYLINE":
        extra = tuple(entity_state(v) for v in entity.vertices)
    elif entity.dxftype() == "HATCH":
        extra = tuple(tuple(plain(v) for v in p.control_vertices()) for p in hatchpath.from_hatch(entity))
    return (entity.dxftype(), tuple(sorted(attributes.items())), extra)


def drawing_state(path):
    """Everything the comparison covers, keyed so that a difference names its place."""
    doc = ezdxf.readfile(path)
    state = {}
    for block in doc.blocks:
        state["block " + block.name] = tuple(entity_state(e) for e in block)
    for layer in doc.layers:
        state["layer " + layer.dxf.name] = entity_state(layer)
    for name, group in doc.groups:
        state["group " + name] = tuple(e.dxf.handle for e in group)
    state["custom properties"] = tuple(doc.header.custom_vars)
    state["fields"] = tuple(sorted(entity_state(o) for o in doc.objects if o.dxftype() == "FIELD"))
    return state


def compare(saved, expected, what, f):
    got, want = drawing_state(saved), drawing_state(expected)
    for key in sorted(set(got) | set(want)):
        if got.get(key) != want.get(key):
            f.append(f"{what}: {key} differs from {os.path.basename(expected)}")


def model_space_count(path):
    return len(ezdxf.readfile(path).modelspace())


# Script, drawing, and the run whose saved drawing the script's must equal.
CASES = [
    ("burst_only", "burst", None),
    ("burst_undo", "burst", "unchanged"),
    ("burst_undo_redo", "burst", "burst_only"),
    ("burst_undo_redo_undo", "burst", "unchanged"),
    ("flip_undo_count", "flip", "unchanged"),
    ("erase_undo", "burst", "unchanged"),
    ("erase_window", "flip", None),
    ("insert_undo", "annotations", "unchanged"),
    ("field_undo", "annotations", "unchanged"),
    ("erase_field", "annotations", None),
    ("burst_hatches_undo", "hatches", "unchanged"),
    ("flip_polylines_undo", "hatches", "unchanged"),
    ("ncopy_only", "ncopy", None),
    ("ncopy_undo_redo", "ncopy", "ncopy_only"),
    ("explode_insert_undo", "annotations", "unchanged"),
    ("leader_field_only", "annotations", None),
    ("leader_field_undo_redo", "annotations", "leader_field_only"),
    ("close_unchanged", "flip", "unchanged"),
]


def prepare(work, annotations, library):
    os.makedirs(os.path.join(work, "lib"), exist_ok=True)
    subprocess.run([sys.executable, os.path.join(HERE, "make_command_drawings.py"), work], check=True)
    shutil.copy(annotations, os.path.join(work, "annotations.dwg"))
    shutil.copy(library, os.path.join(work, "lib", "library.dwg"))


def saved_path(work, name, drawing):
    return os.path.join(work, f"{name}.{drawing}.out.dwg")


def main(host, annotations, library, work):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    prepare(work, annotations, library)
    failures = []
    # The baseline of each drawing first: "unchanged" runs on every drawing a case uses.
    for drawing in sorted({d for _, d, _ in CASES}):
        _, problems = run_script(host, drawing + ".dwg", os.path.join(HERE, "undo", "unchanged.scr"),
                                 saved_path(work, "unchanged", drawing), work, cwd=work)
        failures += [f"unchanged {drawing}: {m}" for m in problems]
    for name, drawing, expected in CASES:
        saved = saved_path(work, name, drawing)
        # The drawing is named relative to the run's folder, as the transcripts show it.
        ran, problems = run_script(host, drawing + ".dwg", os.path.join(HERE, "undo", name + ".scr"),
                                   saved, work, cwd=work)
        f = Failures(problems)
        if ran and expected:
            compare(saved, saved_path(work, expected, drawing), name, f)
        failures += [f"{name}: {m}" for m in f]
    # What an erase leaves, against the drawing it started from.
    f = Failures()
    before = model_space_count(saved_path(work, "unchanged", "flip"))
    after = model_space_count(saved_path(work, "erase_window", "flip"))
    f.expect(0 < after < before, f"erase_window: {before} entities before, {after} after")
    failures += list(f)
    return report(len(CASES), failures)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
