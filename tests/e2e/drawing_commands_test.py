#!/usr/bin/python3
"""End to end: purge empty groups, burst, copy nested entity and flip.

Each case runs marvolt-host with a script from commands/ on a drawing made by
make_command_drawings.py, compares the transcript whole with the golden file beside
the script, and reads the saved drawing back with ezdxf to check what the commands
did, against the original drawing as ezdxf reads it.

Usage: drawing_commands_test.py HOST WORKDIR
"""
import math
import os
import subprocess
import sys

import ezdxf
from ezdxf import bbox
from ezdxf.math import Vec3

from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))


class Failures(list):
    def expect(self, condition, message):
        if not condition:
            self.append(message)

    def near(self, got, want, what):
        ok = Vec3(got).isclose(Vec3(want), abs_tol=1e-9)
        self.expect(ok, f"{what}: {tuple(Vec3(got))} instead of {tuple(Vec3(want))}")


def handles(doc):
    return {e.dxf.handle for e in doc.modelspace()}


def added(original, saved):
    before = handles(original)
    return [e for e in saved.modelspace() if e.dxf.handle not in before]


def of_type(entities, kind):
    return [e for e in entities if e.dxftype() == kind]


def leaves(insert):
    """The entities an insert shows, through nested inserts, in world coordinates."""
    for e in insert.virtual_entities():
        if e.dxftype() == "INSERT":
            yield from leaves(e)
        else:
            yield e


def line_ends(line):
    return Vec3(line.dxf.start), Vec3(line.dxf.end)


# ---- purge ----

def check_purge_twice(original, saved, f):
    groups = {name: len(group) for name, group in saved.groups}
    f.expect(set(groups) == {"KEPT", "*A2"}, f"groups left: {sorted(groups)}")
    f.expect(all(n == 1 for n in groups.values()), f"groups lost members: {groups}")


def check_unchanged(original, saved, f):
    f.expect(handles(original) == handles(saved), "entities were added or removed")
    after = {e.dxf.handle: e for e in saved.modelspace()}
    for e in original.modelspace():
        if e.dxftype() == "LINE" and e.dxf.handle in after:
            f.expect(line_ends(e) == line_ends(after[e.dxf.handle]), f"line {e.dxf.handle} moved")
        if e.dxftype() == "LWPOLYLINE" and e.dxf.handle in after:
            f.expect(list(e.vertices_in_wcs()) == list(after[e.dxf.handle].vertices_in_wcs()),
                     f"polyline {e.dxf.handle} moved")


# ---- burst ----

def check_burst(original, saved, f):
    inserts = {e.dxf.name + str(tuple(e.dxf.insert)): e for e in original.modelspace() if e.dxftype() == "INSERT"}
    tag, locked = inserts["TAG(10.0, 0.0, 0.0)"], inserts["TAG(10.0, 20.0, 0.0)"]
    plain, stretched = inserts["PLAIN(30.0, 0.0, 0.0)"], inserts["ROUND(40.0, 0.0, 0.0)"]
    left = handles(saved)
    f.expect(tag.dxf.handle not in left and plain.dxf.handle not in left, "burst references are still there")
    f.expect(locked.dxf.handle in left, "the reference on the locked layer was burst")
    f.expect(stretched.dxf.handle in left, "the reference that cannot be exploded was lost")
    kept = {e.dxf.handle: e for e in saved.modelspace()}
    if stretched.dxf.handle in kept:
        f.expect([a.dxf.text for a in kept[stretched.dxf.handle].attribs] == ["2"],
                 "the unexploded reference lost its attribute")
    new = added(original, saved)
    texts = of_type(new, "TEXT")
    f.expect(len(texts) == 3, f"{len(texts)} texts instead of one for each attribute of the burst reference")
    for att, text in zip(tag.attribs, texts):
        what = f"text of {att.dxf.tag}"
        f.expect(text.dxf.text == att.dxf.text, f"{what} shows {text.dxf.text!r}")
        f.near(text.dxf.insert, att.dxf.insert, f"{what} position")
        for key in ("layer", "color", "style", "height", "rotation", "width"):
            got, want = getattr(text.dxf, key), getattr(att.dxf, key)
            f.expect(got == want, f"{what} {key} is {got!r}, not {want!r}")
    f.expect(not of_type(new, "ATTDEF"), "attribute definitions were carried over")
    parts = [e for e in tag.virtual_entities() if e.dxftype() != "ATTDEF"] + list(plain.virtual_entities())
    lines, wanted_lines = of_type(new, "LINE"), of_type(parts, "LINE")
    f.expect(len(lines) == len(wanted_lines), f"{len(lines)} lines instead of {len(wanted_lines)}")
    for got, want in zip(lines, wanted_lines):
        f.near(got.dxf.start, want.dxf.start, "line start")
        f.near(got.dxf.end, want.dxf.end, "line end")
        f.expect(got.dxf.layer == want.dxf.layer, f"line on {got.dxf.layer}")
    polylines, wanted = of_type(new, "LWPOLYLINE"), of_type(parts, "LWPOLYLINE")
    f.expect(len(polylines) == 1, "the polyline is missing")
    for got, want in zip(polylines, wanted):
        for a, b in zip(got.vertices_in_wcs(), want.vertices_in_wcs()):
            f.near(a, b, "polyline vertex")
    nested = of_type(new, "INSERT")
    f.expect([e.dxf.name for e in nested] == ["INNER"], "the nested reference did not stay a reference")
    for got, want in zip(nested, of_type(parts, "INSERT")):
        f.near(got.dxf.insert, want.dxf.insert, "nested reference position")
    f.expect(len(new) == 3 + 4, f"{len(new)} entities added: {[e.dxftype() for e in new]}")


# ---- nested copy ----

def only_added(original, saved, f, kind):
    new = added(original, saved)
    f.expect(len(new) == 1 and new[0].dxftype() == kind,
             f"added {[e.dxftype() for e in new]} instead of one {kind} (a rubber band left behind?)")
    return new[0] if new else None


def displayed_line(original, block):
    ref = next(e for e in original.modelspace() if e.dxftype() == "INSERT" and e.dxf.name == block)
    return next(e for e in leaves(ref) if e.dxftype() == "LINE")


def check_two_levels(original, saved, f):
    copy = only_added(original, saved, f, "LINE")
    shown = displayed_line(original, "OUTER")
    if copy:
        f.near(copy.dxf.start, shown.dxf.start, "copy start")
        f.near(copy.dxf.end, shown.dxf.end, "copy end")
        f.expect((copy.dxf.layer, copy.dxf.color) == ("PARTS", 2), "the copy lost its layer or colour")


def check_even_scale(original, saved, f):
    copies = of_type(added(original, saved), "LINE")
    f.expect(len(copies) == 2, f"{len(copies)} copies instead of 2")
    wanted = [((40, 0, 0), (46, 0, 0)), ((60, 0, 0), (60, 6, 0))]
    for copy, (start, end) in zip(copies, wanted):
        f.near(copy.dxf.start, start, "copy start")
        f.near(copy.dxf.end, end, "copy end, scaled evenly by the Z scale")


def check_attribute_moved(original, saved, f):
    text = only_added(original, saved, f, "TEXT")
    ref = next(e for e in original.modelspace() if e.dxftype() == "INSERT" and e.dxf.name == "TAGGED")
    att = ref.attribs[0]
    if text:
        f.expect(text.dxf.text == "42", f"the text shows {text.dxf.text!r}")
        f.near(text.dxf.insert, Vec3(att.dxf.insert) + (10, 5, 0), "moved text position")
        f.expect((text.dxf.layer, text.dxf.height) == ("ATTS", att.dxf.height), "the text lost the attribute's look")


def check_locked_copy_stays(original, saved, f):
    copy = only_added(original, saved, f, "LINE")
    if copy:
        f.near(copy.dxf.start, (0, 40, 0), "copy that could not be moved")


# ---- flip ----

def by_handle(doc):
    return {e.dxf.handle: e for e in doc.modelspace()}


def check_flips(original, saved, f):
    before, after = by_handle(original), by_handle(saved)
    f.expect(set(before) == set(after), "entities were added or removed")
    first, second, slanted, arc, text, dim = [h for h, e in before.items() if e.dxf.layer != "LOCKED"]
    flipped = [list(after[first].vertices_in_wcs()), list(after[second].vertices_in_wcs())]
    wanted = [[(0, 2), (10, 2), (10, 0), (0, 1)], [(30, 0), (20, 0), (20, 2), (30, 1)]]
    for got, want in zip(flipped, wanted):
        for a, b in zip(got, want):
            f.near(a, (b[0], b[1], 0), "flipped polyline vertex")
    for h, corner in ((first, (0, 0, 0)), (second, (20, 0, 0))):
        box = bbox.extents([after[h]])
        f.expect(box.extmin.isclose(corner) and box.size.isclose((10, 2, 0)), f"polyline {h} left its rectangle: {box}")
    f.near(after[slanted].dxf.start, (10, 10, 0), "slanted flip start")
    f.near(after[slanted].dxf.end, (0, 12, 4), "slanted flip end")
    f.near(after[arc].dxf.extrusion, (0, 0, -1), "arc normal")
    f.near(after[arc].start_point, (52, 2, 0), "arc start")
    f.near(after[arc].end_point, (50, 0, 0), "arc end")
    f.near(after[text].dxf.extrusion, (0, 0, -1), "text normal")
    f.near(after[text].ocs().to_wcs(after[text].dxf.insert), (0, 21, 0), "text position")
    check_flipped_dimension(before[dim], after[dim], f)


def check_flipped_dimension(before, after, f):
    """The drawn lines of the dimension are mirrored about the line its definition point was."""
    axis = (before.dxf.defpoint.y + after.dxf.defpoint.y) / 2
    f.expect(not math.isclose(after.dxf.defpoint.y, before.dxf.defpoint.y), "the dimension did not flip")
    old = [line_ends(e) for e in before.get_geometry_block() if e.dxftype() == "LINE"]
    new = [line_ends(e) for e in after.get_geometry_block() if e.dxftype() == "LINE"]
    f.expect(len(old) == len(new) == 3, f"dimension lines: {len(old)} before, {len(new)} after")
    for (a, b), (c, d) in zip(old, new):
        f.near(c, (a.x, 2 * axis - a.y, 0), "dimension line start")
        f.near(d, (b.x, 2 * axis - b.y, 0), "dimension line end")


def check_flipped_spline(original, saved, f):
    """The control points mirror about the spline's middle, and every number the host
    wrote back is the shortest text of its value (0.1, never 0.10000000000000001)."""
    before = original.modelspace().query("SPLINE")[0].control_points
    after = saved.modelspace().query("SPLINE")[0].control_points
    ys = [p[1] for p in before]
    axis = (min(ys) + max(ys)) / 2
    f.expect(len(before) == len(after), f"{len(after)} control points, expected {len(before)}")
    for a, b in zip(before, after):
        f.near(b, (a[0], 2 * axis - a[1], a[2]), "flipped control point")
    with open(saved.filename, encoding="utf-8") as text:
        lines = text.read().splitlines()
    start = lines.index("SPLINE")
    end = next(i for i in range(start + 1, len(lines), 2) if lines[i].strip() == "0")
    for code, value in zip(lines[start + 1:end:2], lines[start + 2:end:2]):
        if code.strip() in ("10", "20", "30"):
            f.expect(len(value) <= len(repr(float(value))), f"group {code.strip()} written as {value}")


CASES = [
    # script, drawing, check of the saved drawing
    ("purge_twice", "groups", check_purge_twice),
    ("purge_without_groups", "flip", check_unchanged),
    ("burst_all", "burst", check_burst),
    ("burst_escape", "burst", check_unchanged),
    ("ncopy_two_levels", "ncopy", check_two_levels),
    ("ncopy_uneven_scale", "ncopy", check_even_scale),
    ("ncopy_attribute_moved", "ncopy", check_attribute_moved),
    ("ncopy_enter_at_base_point", "ncopy", check_unchanged),
    ("ncopy_escape_in_drag", "ncopy", check_unchanged),
    ("ncopy_miss_and_escape", "ncopy", check_unchanged),
    ("ncopy_locked_layer", "ncopy", check_locked_copy_stays),
    ("flip_shapes", "flip", check_flips),
    ("flip_nothing", "flip", check_unchanged),
    ("flip_spline", "spline", check_flipped_spline),
]

# Each case runs again under other locales, which the host takes from the environment at
# start as a window toolkit does: a comma-decimal one, and one whose upper case of "i" is
# not "I". Transcript and drawing must not change.
LOCALES = [None, "de_DE.UTF-8", "tr_TR.UTF-8"]


def run_case(host, work, name, drawing, check, locale):
    source = os.path.join(work, drawing + ".dwg")
    saved = os.path.join(work, name + (f".{locale}" if locale else "") + ".dwg")
    ran, messages = run_script(host, source, os.path.join(HERE, "commands", name + ".scr"), saved, work, locale)
    failures = Failures(messages)
    if ran:
        check(ezdxf.readfile(source), ezdxf.readfile(saved), failures)
    return [f"{name}{' under ' + locale if locale else ''}: {message}" for message in failures]


def main(host, work):
    os.makedirs(work, exist_ok=True)
    subprocess.run([sys.executable, os.path.join(HERE, "make_command_drawings.py"), work], check=True)
    failures = []
    for locale in LOCALES:
        for name, drawing, check in CASES:
            failures += run_case(host, work, name, drawing, check, locale)
    return report(len(CASES) * len(LOCALES), failures)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
