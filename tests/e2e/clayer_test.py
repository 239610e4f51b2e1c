#!/usr/bin/python3
"""End to end: the move-to-current-layer commands on a drawing made by ezdxf.

Each case runs marvolt-host with a script from clayer/, compares the transcript whole
with the golden file beside the script, and reads the saved drawing back with ezdxf:
the entities the case names (and the attributes of moved references) must be on the
target layer, every other entity on the layer it had.

Usage: clayer_test.py HOST WORKDIR
"""
import os
import subprocess
import sys

import ezdxf

from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))


def unlocked(e):
    return e.dxf.layer != "LOCKED"


CASES = [
    # script, target layer, which entities move
    ("texts_all", "CURRENT", lambda e: e.dxftype() in ("TEXT", "MTEXT") and unlocked(e)),
    ("texts_crossing_locked", "CURRENT", lambda e: e.dxftype() in ("TEXT", "MTEXT") and unlocked(e)),
    ("dims_window", "CURRENT", lambda e: e.dxftype() == "DIMENSION" and unlocked(e)),
    ("inserts_picked", "CURRENT", lambda e: e.dxftype() == "INSERT" and unlocked(e)),
    ("inserts_to_anno", "ANNO", lambda e: e.dxftype() == "INSERT" and unlocked(e)),
    ("texts_escape", None, lambda e: False),
]


def layers_by_handle(doc):
    out = {}
    for e in doc.modelspace():
        out[e.dxf.handle] = e.dxf.layer
        for att in getattr(e, "attribs", []):
            out[att.dxf.handle] = att.dxf.layer
    return out


def expected_layers(original, target, moves):
    out = {}
    for e in original.modelspace():
        moved = moves(e)
        out[e.dxf.handle] = target if moved else e.dxf.layer
        for att in getattr(e, "attribs", []):
            out[att.dxf.handle] = target if moved else att.dxf.layer
    return out


def run_case(host, drawing, work, name, target, moves):
    saved = os.path.join(work, name + ".dwg")
    ran, failures = run_script(host, drawing, os.path.join(HERE, "clayer", name + ".scr"), saved, work)
    failures = [f"{name}: {message}" for message in failures]
    if not ran:
        return failures
    want = expected_layers(ezdxf.readfile(drawing), target, moves)
    got = layers_by_handle(ezdxf.readfile(saved))
    for handle, layer in want.items():
        if got.get(handle) != layer:
            failures.append(f"{name}: entity {handle} is on {got.get(handle)!r}, expected {layer!r}")
    return failures


def main(host, work):
    os.makedirs(work, exist_ok=True)
    drawing = os.path.join(work, "clayer.dwg")
    subprocess.run([sys.executable, os.path.join(HERE, "make_clayer_drawing.py"), drawing], check=True)
    failures = []
    for name, target, moves in CASES:
        failures += run_case(host, drawing, work, name, target, moves)
    return report(len(CASES), failures)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
