#!/usr/bin/python3
"""Round trip of the fixture drawings: our host reads each and saves it, then ezdxf
reads the saved file, audits it and compares it with the original, exactly. A drawing
that our host writes from scratch goes through the same check: ezdxf reads it and finds
what was put in, and our host reads and saves it without changing anything.

usage: roundtrip_test.py MARVOLT_HOST WORKDIR SCRATCH_DRAWING
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import compare_drawings  # noqa: E402
import ezdxf  # noqa: E402


def resave(host, original, target):
    """Our host opens original and saves it as target; the failure, if any."""
    run = subprocess.run([host, "--open", original, "--script", "-", "--save", target], capture_output=True, text=True,
                         stdin=subprocess.DEVNULL)
    return None if run.returncode == 0 else f"host failed: {run.stderr.strip()}"


def fixture_failures(host, work):
    fixtures = os.path.join(work, "fixtures")
    saved = os.path.join(work, "saved")
    os.makedirs(saved, exist_ok=True)
    subprocess.run([sys.executable, os.path.join(HERE, "..", "fixtures", "make_fixtures.py"), fixtures],
                   check=True, stdout=subprocess.DEVNULL)
    failures = []
    for name in sorted(os.listdir(fixtures)):
        original, target = os.path.join(fixtures, name), os.path.join(saved, name)
        problem = resave(host, original, target)
        differences = [problem] if problem else compare_drawings.compare_files(original, target, False)
        failures += [f"{name}: {d}" for d in differences]
    return failures


# What scratch_drawing.cpp puts in, as ezdxf should find it.
def scratch_content(doc):
    part = doc.blocks.get("PART")
    model = doc.modelspace()
    insert = model.query("INSERT").first
    group = doc.groups.get("TEXTS")
    return {
        "insunits": doc.header.get("$INSUNITS"),
        "custom": list(doc.header.custom_vars),
        "walls": (doc.layers.get("Walls").dxf.color, doc.layers.get("Walls").is_locked()),
        "part units": part.block_record.dxf.get("units") if part else None,
        "part": [e.dxftype() for e in part] if part else None,
        "prompts": [(a.dxf.tag, a.dxf.prompt) for a in part.query("ATTDEF")] if part else None,
        "attribute": [(a.dxf.tag, a.dxf.text) for a in insert.attribs] if insert else None,
        "texts": [e.dxf.text for e in model.query("TEXT")],
        "mtexts": [e.text for e in model.query("MTEXT")],
        "group": len(list(group)) if group else None,
    }


SCRATCH_EXPECTED = {
    "insunits": 4,
    "custom": [("Title", "Bridge"), ("Größe", "中")],
    "walls": (3, True),
    "part units": 4,
    "part": ["LINE", "CIRCLE", "ARC", "LWPOLYLINE", "ATTDEF", "ATTDEF"],
    "prompts": [("PARTNO", "Part number"), ("REV", "Revision")],
    "attribute": [("PARTNO", "P-1001")],
    "texts": ["Größe °C"],
    "mtexts": ["Bridge"],  # the field's value, evaluated when saved
    "group": 2,
}


def scratch_failures(host, work, scratch_drawing):
    scratch = os.path.join(work, "scratch.dxf")
    resaved = os.path.join(work, "scratch-resaved.dxf")
    subprocess.run([scratch_drawing, scratch], check=True)
    doc = ezdxf.readfile(scratch)
    failures = compare_drawings.audit_errors(doc)
    content = scratch_content(doc)
    failures += [f"{key}: {content[key]!r} != {want!r}" for key, want in SCRATCH_EXPECTED.items()
                 if content[key] != want]
    problem = resave(host, scratch, resaved)
    failures += [problem] if problem else compare_drawings.compare_files(scratch, resaved, False)
    return [f"scratch: {f}" for f in failures]


def main():
    host, work, scratch_drawing = sys.argv[1], sys.argv[2], sys.argv[3]
    failures = fixture_failures(host, work) + scratch_failures(host, work, scratch_drawing)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
