#!/usr/bin/python3
"""End to end: the Block Manager page worked through "@ui" lines only, as a person would.

Each script in blockmanager/ runs marvolt-host on the sample drawing with a temporary
folder of its own (so its own "iconcache.db"); "{LIB}" in a script and in its golden
transcript stands for the path of a copy of the sample library drawing. Scripts named
NAME_a, NAME_b run one after the other on one folder, as two sessions of one user. The
saved drawing is read back with ezdxf and the icon cache with the sqlite3 program.

Usage: blockmanager_test.py HOST DRAWING LIBRARY WORKDIR
"""
import glob
import math
import os
import shutil
import subprocess
import sys

import ezdxf
import ezdxf.units

from drawingchecks import Failures, added
from golden import report, run_script, sessions

HERE = os.path.dirname(os.path.abspath(__file__))


def inserts(entities, name=None):
    return [e for e in entities if e.dxftype() == "INSERT" and (name is None or e.dxf.name == name)]


def check_nothing_added(original, saved, f, work):
    f.expect(not added(original, saved), f"entities were added: {[e.dxftype() for e in added(original, saved)]}")


def check_prompted_attributes(original, saved, f, work):
    new = inserts(added(original, saved), "TITLETAG")
    f.expect(len(new) == 1, f"{len(new)} TITLETAG references added")
    if new:
        f.near(new[0].dxf.insert, (10, 20, 0), "TITLETAG insertion point")
        values = {a.dxf.tag: a.dxf.text for a in new[0].attribs}
        f.expect(values.get("PART") == "P-7" and values.get("REV") == "C", f"attribute values {values}")


def check_rotated_and_scaled(original, saved, f, work):
    new = inserts(added(original, saved), "GEOM")
    f.expect(len(new) == 1, f"{len(new)} GEOM references added")
    if new:
        ref = new[0]
        f.near(ref.dxf.insert, (5, 5, 0), "GEOM insertion point")
        f.expect(abs(ref.dxf.rotation - 90) < 1e-6, f"rotation {ref.dxf.rotation}")
        # The page's scale times the factor from the library's units to the drawing's.
        factor = ezdxf.units.conversion_factor(4, original.header.get("$INSUNITS"))
        f.expect(abs(ref.dxf.xscale - 2 * factor) < 1e-12 and abs(ref.dxf.yscale - 2 * factor) < 1e-12,
                 f"scale {ref.dxf.xscale}, {ref.dxf.yscale}")


def check_exploded(original, saved, f, work):
    new = added(original, saved)
    f.expect(not inserts(new), "the placed reference was not exploded")
    f.expect(len(new) == len(saved.blocks.get("GEOM")), f"{len(new)} parts for the block's {len(saved.blocks.get('GEOM'))}")


def check_dragged(original, saved, f, work):
    new = added(original, saved)
    geom = inserts(new, "GEOM")
    whole = inserts(new, "library")
    f.expect(len(geom) == 1 and len(whole) == 1, f"added {[e.dxf.name for e in inserts(new)]}")
    if geom:
        f.near(geom[0].dxf.insert, (30, 30, 0), "the dragged block is placed where picked, not where dropped")
    if whole:
        f.near(whole[0].dxf.insert, (0, -40, 0), "the dragged drawing")


def cache_tables(work):
    run = subprocess.run(["sqlite3", os.path.join(work, "iconcache.db"), ".tables"], capture_output=True, text=True)
    return set(run.stdout.split())


def check_filtered_insertions(original, saved, f, work):
    new = inserts(added(original, saved))
    placed = sorted((e.dxf.name, round(e.dxf.insert.x, 6), round(e.dxf.insert.y, 6)) for e in new)
    f.expect(placed == [("GEOM", 7, 8), ("TITLETAG", 3, 4)], f"placed {placed}")


def check_searched_drag(original, saved, f, work):
    new = inserts(added(original, saved), "GEOM")
    f.expect(len(new) == 1, f"{len(new)} GEOM references added")
    if new:
        f.near(new[0].dxf.insert, (20, 30, 0), "the dragged block is placed where picked")
    f.expect("GEOM" in saved.blocks, "the definition came along")


def check_cache_cleared(original, saved, f, work):
    check_nothing_added(original, saved, f, work)
    tables = cache_tables(work)
    f.expect("HISTORY" in tables and "CacheDateStamp" in tables, f"tables {tables}")
    f.expect(not any("library" in t for t in tables), f"the library's cache is still there: {tables}")
    run = subprocess.run(["sqlite3", os.path.join(work, "iconcache.db"), "SELECT count(*) FROM HISTORY;"],
                         capture_output=True, text=True)
    f.expect(run.stdout.strip() == "0", f"HISTORY holds {run.stdout.strip()} rows")


CHECKS = {
    "type_and_prompt": check_prompted_attributes,
    "rotate_option": check_rotated_and_scaled,
    "explode_option": check_exploded,
    "drag_entries": check_dragged,
    "escape_placement": check_nothing_added,
    "busy_command": check_nothing_added,
    "cache_a": check_nothing_added,
    "cache_b": check_cache_cleared,
    "filter_insert": check_filtered_insertions,
    "search_drag": check_searched_drag,
}



def substituted(source, target, library):
    with open(source, encoding="utf-8") as f:
        text = f.read().replace("{LIB}", library)
    with open(target, "w", encoding="utf-8") as f:
        f.write(text)


def main(host, drawing, library, work):
    host, drawing, library, work = (os.path.abspath(p) for p in (host, drawing, library, work))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    failures = []
    cases = 0
    for key, scripts in sessions(glob.glob(os.path.join(HERE, "blockmanager", "*.scr"))).items():
        folder = os.path.join(work, key)
        os.makedirs(os.path.join(folder, "lib"))
        copy = os.path.join(folder, "lib", "library.dwg")
        shutil.copyfile(library, copy)
        # A second library with the same blocks, for the search over every library.
        shutil.copyfile(library, os.path.join(folder, "lib", "other.dwg"))
        # The drawing is named as the script's folder sees it, so the transcript says the same everywhere.
        shutil.copyfile(drawing, os.path.join(folder, "drawing.dwg"))
        for script in scripts:
            cases += 1
            name = os.path.splitext(os.path.basename(script))[0]
            local = os.path.join(folder, name + ".scr")
            substituted(script, local, copy)
            substituted(os.path.splitext(script)[0] + ".expected", os.path.join(folder, name + ".expected"), copy)
            saved = name + ".saved.dwg"
            ran, problems = run_script(host, "drawing.dwg", local, saved, folder, os.path.join(folder, "config"), cwd=folder)
            f = Failures(problems)
            if ran and name in CHECKS:
                CHECKS[name](ezdxf.readfile(drawing), ezdxf.readfile(os.path.join(folder, saved)), f, folder)
            failures += [f"{name}: {p}" for p in f]
    return report(cases, failures)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
