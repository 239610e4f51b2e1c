#!/usr/bin/python3
"""End to end: a title block as libraries hold them, with constant and multiline
attribute definitions, inserted from the Block Manager with and without "Prompt",
burst, and its multiline attribute copied out by "zelncopy".

The library and an empty drawing are made by make_titleblock_library.py with ezdxf
(the multiline definitions through AttDef.embed_mtext). Each script in titleblock/
runs on its own folder, its transcript compared whole with the golden file beside it;
the saved drawing is read back with ezdxf.

Usage: titleblock_test.py HOST WORKDIR
"""
import os
import shutil
import subprocess
import sys

import ezdxf
from ezdxf.math import Vec3

from drawingchecks import Failures, added
from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))
PLACED = Vec3(10, 20, 0)
# Where the definitions stand in the block, and what they hold.
PLAIN = {"PART": (1, 9), "SECRET": (1, 7)}
NOTE = ("NOTE", (1, 5), "first\\Psecond")
CONSTANTS = {"MAKER": ((21, 9), "ACME", None), "STAMP": ((21, 5), "fixed", "fixed\\Pstamp")}


def titles(saved):
    return [e for e in saved.modelspace() if e.dxftype() == "INSERT" and e.dxf.name == "TITLE"]


def check_reference(saved, f, values, note):
    """One TITLE reference whose attributes are the non-constant ones, with these values;
    NOTE multiline, holding note."""
    refs = titles(saved)
    f.expect(len(refs) == 1, f"{len(refs)} TITLE references")
    if not refs:
        return
    atts = {a.dxf.tag: a for a in refs[0].attribs}
    f.expect(set(atts) == set(values), f"attributes {sorted(atts)}: a constant one was made")
    for tag, value in values.items():
        if tag in atts:
            f.expect(atts[tag].dxf.text == value, f"{tag} is {atts[tag].dxf.text!r}, not {value!r}")
    if "NOTE" in atts:
        att = atts["NOTE"]
        f.expect(att.has_embedded_mtext_entity, "NOTE is not multiline")
        if att.has_embedded_mtext_entity:
            mtext = att.virtual_mtext_entity()
            f.expect(mtext.text == note, f"NOTE holds {mtext.text!r}, not {note!r}")
            f.near(mtext.dxf.insert, PLACED + NOTE[1], "NOTE's lines")


def check_no_prompt(original, saved, f):
    check_reference(saved, f, {"PART": "P-0", "SECRET": "none", "NOTE": "first"}, NOTE[2])
    # The nested copy of NOTE: every line, moved by (100, 0).
    copies = [e for e in added(original, saved) if e.dxftype() == "MTEXT"]
    f.expect(len(copies) == 1, f"{len(copies)} MTEXT copies of NOTE")
    for copy in copies:
        f.expect(copy.text == NOTE[2], f"the copy holds {copy.text!r}")
        f.near(copy.dxf.insert, PLACED + NOTE[1] + (100, 0), "the moved copy")


def check_prompt_typed(original, saved, f):
    check_reference(saved, f, {"PART": "P-7", "SECRET": "hush", "NOTE": "one line"}, "one line")


def check_prompt_burst(original, saved, f):
    f.expect(not titles(saved), "the reference was not burst")
    new = added(original, saved)
    texts = {Vec3(e.dxf.insert).round(9): e.dxf.text for e in new if e.dxftype() == "TEXT"}
    mtexts = {Vec3(e.dxf.insert).round(9): e.text for e in new if e.dxftype() == "MTEXT"}
    want_texts = {(PLACED + PLAIN["PART"]).round(9): "P-7", (PLACED + PLAIN["SECRET"]).round(9): "none",
                  (PLACED + CONSTANTS["MAKER"][0]).round(9): "ACME"}
    want_mtexts = {(PLACED + NOTE[1]).round(9): NOTE[2], (PLACED + CONSTANTS["STAMP"][0]).round(9): "fixed\\Pstamp"}
    f.expect(texts == want_texts, f"texts {texts}")
    f.expect(mtexts == want_mtexts, f"mtexts {mtexts}")
    # Nothing twice: at each constant's place there is one entity, and no attribute is left.
    for tag, (at, _, _) in CONSTANTS.items():
        here = [e for e in new if e.dxftype() in ("TEXT", "MTEXT") and Vec3(e.dxf.insert).isclose(PLACED + at)]
        f.expect(len(here) == 1, f"{len(here)} texts at {tag}'s place")
    kinds = sorted(e.dxftype() for e in new)
    f.expect(kinds == ["LWPOLYLINE", "MTEXT", "MTEXT", "TEXT", "TEXT", "TEXT"], f"added {kinds}")


CHECKS = {
    "no_prompt": check_no_prompt,
    "prompt_typed": check_prompt_typed,
    "prompt_burst": check_prompt_burst,
}


def main(host, work):
    host, work = os.path.abspath(host), os.path.abspath(work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    failures = []
    for name, check in CHECKS.items():
        folder = os.path.join(work, name)
        os.makedirs(os.path.join(folder, "lib"))
        subprocess.run([sys.executable, os.path.join(HERE, "make_titleblock_library.py"),
                        os.path.join(folder, "lib", "title.dwg"), os.path.join(folder, "drawing.dwg")], check=True)
        script = os.path.join(HERE, "titleblock", name + ".scr")
        saved = name + ".saved.dwg"
        ran, problems = run_script(host, "drawing.dwg", script, saved, folder, os.path.join(folder, "config"), cwd=folder)
        f = Failures(problems)
        if ran:
            check(ezdxf.readfile(os.path.join(folder, "drawing.dwg")), ezdxf.readfile(os.path.join(folder, saved)), f)
        failures += [f"{name}: {p}" for p in f]
    return report(len(CHECKS), failures)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
