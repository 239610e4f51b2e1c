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
from ezdxf import path as hatchpath
from ezdxf.math import Matrix44, Vec3

from drawingchecks import Failures, added, by_handle
from golden import report, run_script

HERE = os.path.dirname(os.path.abspath(__file__))


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
    f.expect(set(by_handle(original)) == set(by_handle(saved)), "entities were added or removed")
    after = {e.dxf.handle: e for e in saved.modelspace()}
    for e in original.modelspace():
        if e.dxftype() == "LINE" and e.dxf.handle in after:
            f.expect(line_ends(e) == line_ends(after[e.dxf.handle]), f"line {e.dxf.handle} moved")
        if e.dxftype() == "LWPOLYLINE" and e.dxf.handle in after:
            f.expect(list(e.vertices_in_wcs()) == list(after[e.dxf.handle].vertices_in_wcs()),
                     f"polyline {e.dxf.handle} moved")


def unique_handles(path, f):
    """No handle is written twice (the records of copied polylines get their own)."""
    with open(path, encoding="utf-8") as drawing:
        lines = drawing.read().split("\n")
    seen = {}
    for code, value in zip(lines[::2], lines[1::2]):
        if code.strip() == "5":
            seen[value.strip()] = seen.get(value.strip(), 0) + 1
    twice = sorted(h for h, n in seen.items() if n > 1)
    f.expect(not twice, f"handles written twice: {twice}")


def boundary(hatch):
    """The hatch's boundary paths in world coordinates, as fine chords."""
    return [list(p.flattening(0.0005)) for p in hatchpath.from_hatch(hatch)]


def off_chords(points, chords):
    """How far the farthest of the points lies from the chords."""
    def to_segment(p, a, b):
        d = b - a
        t = 0.0 if d.magnitude == 0 else max(0.0, min(1.0, (p - a).dot(d) / d.dot(d)))
        return (p - (a + d * t)).magnitude
    return max(min(to_segment(p, a, b) for a, b in zip(chords, chords[1:])) for p in points)


def same_boundary(got, want, f, what, tol=1e-3):
    """Each boundary path of got runs along the one of want, and the other way round."""
    a, b = boundary(got), boundary(want)
    f.expect(len(a) == len(b), f"{what}: {len(a)} boundary paths instead of {len(b)}")
    for i, (p, q) in enumerate(zip(a, b)):
        gap = max(off_chords(p, q), off_chords(q, p))
        f.expect(gap < tol, f"{what}: path {i} lies {gap} off")


def same_polyline(got, want, f, what):
    f.expect(got.get_mode() == want.get_mode(), f"{what}: {got.get_mode()} instead of {want.get_mode()}")
    f.near(got.dxf.extrusion, Vec3(want.dxf.extrusion).normalize(), f"{what} normal")
    f.expect(math.isclose(got.dxf.elevation.z, want.dxf.elevation.z, abs_tol=1e-9), f"{what} elevation")
    gv, wv = list(got.vertices), list(want.vertices)
    f.expect(len(gv) == len(wv), f"{what}: {len(gv)} vertices instead of {len(wv)}")
    for g, w in zip(gv, wv):
        f.near(g.dxf.location, w.dxf.location, f"{what} vertex")
        for key in ("bulge", "start_width", "end_width"):
            f.expect(math.isclose(g.dxf.get(key, 0), w.dxf.get(key, 0), abs_tol=1e-9),
                     f"{what} vertex {key} is {g.dxf.get(key, 0)}, not {w.dxf.get(key, 0)}")


# ---- burst ----

def check_burst(original, saved, f):
    inserts = {e.dxf.name + str(tuple(e.dxf.insert)): e for e in original.modelspace() if e.dxftype() == "INSERT"}
    tag, locked = inserts["TAG(10.0, 0.0, 0.0)"], inserts["TAG(10.0, 20.0, 0.0)"]
    plain, stretched = inserts["PLAIN(30.0, 0.0, 0.0)"], inserts["ROUND(40.0, 0.0, 0.0)"]
    left = set(by_handle(saved))
    f.expect(tag.dxf.handle not in left and plain.dxf.handle not in left, "burst references are still there")
    f.expect(locked.dxf.handle in left, "the reference on the locked layer was burst")
    f.expect(stretched.dxf.handle not in left, "the unevenly scaled reference was not burst")
    new = added(original, saved)
    texts = of_type(new, "TEXT")
    f.expect(len(texts) == 4, f"{len(texts)} texts instead of one for each attribute of the burst references")
    f.expect([t.dxf.text for t in texts[3:]] == ["2"], "the stretched reference's attribute is not a text")
    # The circle of the stretched reference is an ellipse, as the peer shows it.
    ellipses, wanted = of_type(new, "ELLIPSE"), of_type(stretched.virtual_entities(), "ELLIPSE")
    f.expect(len(ellipses) == len(wanted) == 1, f"{len(ellipses)} ellipses instead of {len(wanted)}")
    for got, want in zip(ellipses, wanted):
        f.near(got.dxf.center, want.dxf.center, "ellipse centre")
        major, other = Vec3(got.dxf.major_axis), Vec3(want.dxf.major_axis)
        f.expect(math.isclose(major.magnitude, other.magnitude) and major.cross(other).is_null,
                 f"ellipse major axis {major} instead of {other}")
        f.expect(math.isclose(got.dxf.ratio, want.dxf.ratio), f"ellipse ratio {got.dxf.ratio}, not {want.dxf.ratio}")
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
    f.expect(len(new) == 4 + 5, f"{len(new)} entities added: {[e.dxftype() for e in new]}")


def check_burst_hatches(original, saved, f):
    refs = {e.dxf.name: e for e in original.modelspace() if e.dxftype() == "INSERT"}
    turned, stretched, solid = refs["HATCHED"], refs["STRETCHY"], refs["SOLIDBOX"]
    left = by_handle(saved)
    f.expect(turned.dxf.handle not in left and stretched.dxf.handle not in left,
             "references of hatches and old-style polylines are still there")
    f.expect(solid.dxf.handle in left, "the reference holding a 3D solid was burst")
    if solid.dxf.handle in left:
        f.expect([a.dxf.text for a in left[solid.dxf.handle].attribs] == ["3"], "the kept reference lost its attribute")
    new = added(original, saved)
    wanted = list(turned.virtual_entities()) + list(stretched.virtual_entities())
    f.expect([e.dxftype() for e in new] == [e.dxftype() for e in wanted],
             f"added {[e.dxftype() for e in new]} instead of {[e.dxftype() for e in wanted]}")
    for got, want in zip(new, wanted):
        what = f"{got.dxftype()} {got.dxf.handle}"
        if got.dxftype() == "HATCH":
            same_boundary(got, want, f, what)
        else:
            same_polyline(got, want, f, what)
    # The pattern and the seed point go along with the turned, evenly scaled reference.
    source = next(e for e in turned.block() if e.dxftype() == "HATCH")
    m = turned.matrix44()
    if new and new[0].dxftype() == "HATCH":
        burst = new[0]
        f.expect(math.isclose(burst.dxf.pattern_angle, source.dxf.pattern_angle + 30),
                 f"pattern angle {burst.dxf.pattern_angle}")
        f.expect(math.isclose(burst.dxf.pattern_scale, source.dxf.pattern_scale * 2),
                 f"pattern scale {burst.dxf.pattern_scale}")
        f.near(Vec3(burst.seeds[0]), m.transform(Vec3(source.seeds[0])), "seed point")
        for got, want in zip(burst.pattern.lines, source.pattern.lines):
            f.near(Vec3(got.base_point), m.transform(Vec3(want.base_point)), "pattern line base point")
            f.near(Vec3(got.offset), m.transform_direction(Vec3(want.offset)), "pattern line offset")
            f.expect([round(d, 9) for d in got.dash_length_items] == [round(d * 2, 9) for d in want.dash_length_items],
                     "pattern dashes did not scale")
    unique_handles(saved.filename, f)


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


def check_hatch_copied(original, saved, f):
    copy = only_added(original, saved, f, "HATCH")
    ref = next(e for e in original.modelspace() if e.dxftype() == "INSERT" and e.dxf.name == "HATCHED")
    shown = next(e for e in ref.virtual_entities() if e.dxftype() == "HATCH")
    if copy:
        same_boundary(copy, shown, f, "copied hatch")
        f.expect(copy.dxf.pattern_name == "ANSI31" and math.isclose(copy.dxf.pattern_scale, 1.0),
                 "the copy lost its pattern")


# ---- flip ----

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


def half_turned(entity, along_x):
    """A copy of the entity turned over about the line through the centre of its box,
    parallel to X (along_x) or to Y, by the peer's own transformation."""
    centre = bbox.extents([entity], fast=False).center
    turn = Matrix44.x_rotate(math.pi) if along_x else Matrix44.y_rotate(math.pi)
    copy = entity.copy()
    copy.transform(Matrix44.chain(Matrix44.translate(-centre.x, -centre.y, 0), turn,
                                  Matrix44.translate(centre.x, centre.y, 0)))
    return copy


def check_flipped_hatches(original, saved, f):
    before, after = by_handle(original), by_handle(saved)
    f.expect(set(before) == set(after), "entities were added or removed")
    hatch = next(e for e in original.modelspace() if e.dxftype() == "HATCH")
    polyline = next(e for e in original.modelspace() if e.dxftype() == "POLYLINE")
    flipped = after.get(hatch.dxf.handle)
    if flipped:
        # The peer's box of curved boundaries is drawn with chords, so its centre is close,
        # not exact.
        same_boundary(flipped, half_turned(hatch, True), f, "flipped hatch", tol=0.02)
        f.near(flipped.dxf.extrusion, (0, 0, -1), "flipped hatch normal")
        # Turned over, the plane's X axis points the other way.
        centre = bbox.extents([hatch], fast=False).center
        f.near(Vec3(flipped.seeds[0]).replace(z=0), (-302, 2 * centre.y - 1.5, 0), "flipped hatch seed in its plane")
    turned = after.get(polyline.dxf.handle)
    if turned:
        f.near(turned.dxf.extrusion, (0, 0, -1), "flipped polyline normal")
        ocs, old = turned.ocs(), polyline.ocs()
        points = [ocs.to_wcs(v.dxf.location) for v in turned.vertices]
        source = [old.to_wcs(v.dxf.location) for v in polyline.vertices]
        axis = (points[0].x + source[0].x) / 2
        f.expect(abs(axis - 322.0) < 0.1, f"flipped about x = {axis}")
        for p, q in zip(points, source):
            f.near(p, (2 * axis - q.x, q.y, q.z), "flipped polyline vertex")
        for v, w in zip(turned.vertices, polyline.vertices):
            f.expect((v.dxf.bulge, v.dxf.start_width, v.dxf.end_width) == (w.dxf.bulge, w.dxf.start_width, w.dxf.end_width),
                     "the flipped polyline changed its bulges or widths")


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
    ("burst_hatches", "hatches", check_burst_hatches),
    ("ncopy_hatch", "hatches", check_hatch_copied),
    ("flip_hatches", "hatches", check_flipped_hatches),
]

# Each case runs again under other locales, which the host takes from the environment at
# start as a window toolkit does: a comma-decimal one, and one whose upper case of "i" is
# not "I". Transcript and drawing must not change.
LOCALES = [None, "de_DE.UTF-8", "tr_TR.UTF-8"]


def run_case(host, work, name, drawing, check, locale):
    source = os.path.join(work, drawing + ".dwg")
    saved = os.path.join(work, name + (f".{locale}" if locale else "") + ".dwg")
    ran, messages = run_script(host, source, os.path.join(HERE, "commands", name + ".scr"), saved, work, locale=locale)
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
