#!/usr/bin/python3
"""Judge a DXF round trip: does SAVED still hold what ORIGINAL held?

Usage: compare_drawings.py ORIGINAL SAVED [--ignore-handles]

Both files are read with ezdxf, an implementation independent of ours.  Every
difference is printed as one line; the exit status is 1 if there is any, 2 if
the arguments or ORIGINAL cannot be used.  SAVED must also pass ezdxf's audit
without errors.

The compare_* functions return lists of difference strings so tests can import
this module and use them directly.
"""

import argparse
import math
import re
import sys
from array import array
from collections import Counter

import ezdxf
from ezdxf import recover
from ezdxf.entities import DXFTagStorage
from ezdxf.lldxf.packedtags import VertexArray
from ezdxf.lldxf.types import DXFTag, DXFVertex
from ezdxf.math import Vec2, Vec3

HEADER_VARS = [
    "$INSUNITS", "$CLAYER", "$TEXTSIZE", "$DIMSCALE",
    "$LUNITS", "$LUPREC", "$AUNITS", "$AUPREC",
]  # fmt: skip

# Group codes whose values are handles or pointers; they legitimately change
# when a writer assigns new handles.
HANDLE_CODES = {5, 105, 1005} | set(range(320, 370)) | set(range(390, 400)) | {480, 481}

REL_TOL = 1e-9
# Values such as 6e-17 (cos 90°) against 0.0 have no meaningful relative error.
ABS_TOL = 1e-12

UNICODE_ESCAPE = re.compile(r"\\U\+([0-9A-Fa-f]{4})")


# ---------------------------------------------------------------------------
# Loading
# ---------------------------------------------------------------------------


def load_original(path):
    """Read ORIGINAL; damaged files get ezdxf's recover mode."""
    try:
        return ezdxf.readfile(path)
    except (ezdxf.DXFStructureError, UnicodeDecodeError):
        doc, _auditor = recover.readfile(path)
        return doc


def handles_are_new(original):
    """R12 files may be written without handles; the reader then invents them."""
    return original.dxfversion <= "AC1009" and original.header.get("$HANDLING", 1) != 1


def owners_are_invented(original):
    """R12 files carry no owner pointers, block records or OBJECTS section;
    ezdxf creates them while loading, with handles that depend on load order."""
    return original.dxfversion <= "AC1009"


def audit_errors(doc):
    auditor = doc.audit()
    return [f"audit: {err.message}" for err in auditor.errors]


# ---------------------------------------------------------------------------
# Value normalisation and comparison
# ---------------------------------------------------------------------------


def unescape(text):
    # "\U+4E2D" and the character itself mean the same; writers differ in which
    # one they use (and in the case of the hex digits).
    return UNICODE_ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


def plain(value):
    """Turn ezdxf values (Vec3, VertexArray, DXFTag, path objects) into
    tuples, lists and dicts that compare and print predictably."""
    if isinstance(value, (str, int, float)) or value is None:
        return value
    if isinstance(value, dict):
        return {k: plain(v) for k, v in value.items()}
    if isinstance(value, (DXFTag, DXFVertex)):
        return (value.code, plain(value.value))
    if isinstance(value, (Vec2, Vec3)):
        return tuple(value)
    if isinstance(value, (list, tuple, array, VertexArray)):
        return [plain(v) for v in value]
    if hasattr(value, "__dict__"):  # boundary paths and edges
        return {k: plain(v) for k, v in vars(value).items() if not k.startswith("_")}
    if hasattr(value, "__iter__"):
        return [plain(v) for v in value]
    return repr(value)


def same(a, b):
    if isinstance(a, float) or isinstance(b, float):
        if not isinstance(a, (int, float)) or not isinstance(b, (int, float)):
            return False
        return math.isclose(a, b, rel_tol=REL_TOL, abs_tol=ABS_TOL)
    if isinstance(a, str) and isinstance(b, str):
        return unescape(a) == unescape(b)
    if isinstance(a, (list, tuple)) and isinstance(b, (list, tuple)):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    if isinstance(a, dict) and isinstance(b, dict):
        return a.keys() == b.keys() and all(same(a[k], b[k]) for k in a)
    return a == b


def diff_dicts(where, a, b):
    """One line per key whose value differs or which only one side has."""
    out = []
    for key in sorted(set(a) | set(b), key=str):
        if key not in b:
            out.append(f"{where}: {key} only in original ({a[key]!r})")
        elif key not in a:
            out.append(f"{where}: {key} only in saved ({b[key]!r})")
        elif not same(a[key], b[key]):
            out.append(f"{where}: {key}: {a[key]!r} != {b[key]!r}")
    return out


def diff_keyed(where, a, b):
    """Compare two {name: properties} maps of table entries, blocks, groups."""
    out = []
    for name in a:
        if name not in b:
            out.append(f"{where}: {name!r} missing in saved")
    for name in b:
        if name not in a:
            out.append(f"{where}: {name!r} added in saved")
    for name in a:
        if name in b:
            out += diff_dicts(f"{where} {name!r}", a[name], b[name])
    return out


# ---------------------------------------------------------------------------
# Header and tables
# ---------------------------------------------------------------------------


def compare_header(orig, saved):
    a = {name: plain(orig.header.get(name)) for name in HEADER_VARS}
    b = {name: plain(saved.header.get(name)) for name in HEADER_VARS}
    out = diff_dicts("header", a, b)
    # Custom properties are an ordered list; duplicates and order both count.
    props_a, props_b = list(orig.header.custom_vars), list(saved.header.custom_vars)
    if not same(props_a, props_b):
        out.append(f"header: custom properties: {props_a!r} != {props_b!r}")
    return out


def style_key(style):
    # Shape-file entries have no name; their font file identifies them.
    return style.dxf.name or f"<shape {style.dxf.get('font', '')}>"


TABLES = [
    # table attribute, key function, properties function
    ("layers", lambda e: e.dxf.name, lambda e: {
        "color": e.dxf.get("color"), "flags": e.dxf.get("flags"),
        "locked": e.is_locked(), "linetype": e.dxf.get("linetype")}),
    ("linetypes", lambda e: e.dxf.name, lambda e: {}),
    ("styles", style_key, lambda e: {
        "font": e.dxf.get("font"), "height": e.dxf.get("height")}),
    ("dimstyles", lambda e: e.dxf.name, lambda e: {}),
    ("appids", lambda e: e.dxf.name, lambda e: {}),
]  # fmt: skip


def table_map(doc, table, key, props):
    return {key(e): plain(props(e)) for e in getattr(doc, table)}


def compare_tables(orig, saved):
    out = []
    for table, key, props in TABLES:
        a = table_map(orig, table, key, props)
        b = table_map(saved, table, key, props)
        out += diff_keyed(f"table {table}", a, b)
    return out


# ---------------------------------------------------------------------------
# Entities
# ---------------------------------------------------------------------------


def drop_handles(attribs, entity):
    keep = {}
    for name, value in attribs.items():
        definition = entity.DXFATTRIBS.get(name)
        if definition is None or definition.code not in HANDLE_CODES:
            keep[name] = value
    return keep


def tag_list(tags, ignore_handles):
    return [plain(t) for t in tags if not (ignore_handles and t.code in HANDLE_CODES)]


def hatch_paths(e, ignore_handles):
    paths = plain(list(e.paths))
    if ignore_handles:
        # Associative hatches point at their boundary entities by handle.
        for path in paths:
            path.pop("source_boundary_objects", None)
    return paths


def entity_content(e, ignore_handles):
    """Data ezdxf keeps outside the dxf namespace, per entity type."""
    kind = e.dxftype()
    if kind == "LWPOLYLINE":
        return {"points": plain(e.get_points("xyseb")), "closed": e.closed}
    if kind == "MTEXT":
        return {"text": e.text}
    if kind == "SPLINE":
        return {
            "control_points": plain(e.control_points), "fit_points": plain(e.fit_points),
            "knots": plain(e.knots), "weights": plain(e.weights)}  # fmt: skip
    if kind == "HATCH":
        return {"paths": hatch_paths(e, ignore_handles)}
    if kind == "LEADER":
        return {"vertices": plain(e.vertices)}
    if isinstance(e, DXFTagStorage):
        # Kinds ezdxf does not model: their raw tags are all there is.
        return {"tags": [plain(t) for sub in e.xtags.subclasses[1:] for t in sub]}
    return {}


def xdict_content(e, ignore_handles):
    """Extension dictionary entries: name, type and, where cheap, content."""
    if not e.has_extension_dict:
        return None
    entries = []
    for name, obj in e.get_extension_dict().dictionary.items():
        kind = obj.dxftype() if hasattr(obj, "dxftype") else repr(obj)
        if kind == "XRECORD":
            entries.append((name, kind, tag_list(obj.tags, ignore_handles)))
        elif kind == "DICTIONARY":
            entries.append((name, kind, sorted(k for k, _ in obj.items())))
        else:
            entries.append((name, kind))
    return entries


# Attributes that name a table entry. Such names are case-insensitive in the format, and
# writers differ in case: ezdxf's arrow blocks say "BYBLOCK" where its own linetype
# table says "ByBlock", and a reader resolving the name writes back the table's case.
SYMBOL_REFERENCES = {"layer", "linetype", "style", "dimstyle"}


def fold_symbol_names(record):
    for name in SYMBOL_REFERENCES & record.keys():
        if isinstance(record[name], str):
            record[name] = record[name].casefold()


def entity_record(e, ignore_handles, ignore_owner=False):
    """Everything about one entity that a round trip has to keep."""
    attribs = plain(e.dxf.all_existing_dxf_attribs())
    if ignore_handles:
        attribs = drop_handles(attribs, e)
    if ignore_owner:
        attribs.pop("owner", None)
    record = dict(attribs)
    for key, value in entity_content(e, ignore_handles).items():
        record["." + key] = value
    if e.xdata:
        record[".xdata"] = {
            appid: tag_list(tags, ignore_handles) for appid, tags in e.xdata.data.items()
        }
    xdict = xdict_content(e, ignore_handles)
    if xdict is not None:
        record[".xdict"] = xdict
    return record


def sub_entities(e):
    """ATTRIBs of an INSERT, VERTEXes of a POLYLINE."""
    kind = e.dxftype()
    if kind == "INSERT":
        return list(e.attribs)
    if kind == "POLYLINE":
        return list(e.vertices)
    return []


def fill_defaults(mine, theirs, entity):
    """A group written out with its default value says the same as a group left out:
    give the record the format's default for every attribute only the other side has."""
    for key in theirs:
        if key in mine:
            continue
        try:
            default = entity.dxf.get_default(key)
        except (AttributeError, KeyError, ValueError):
            continue
        if default is not None:
            mine[key] = plain(default)


def compare_entity_lists(where, a, b, ignore_handles, ignore_owner=False):
    out = []
    if len(a) != len(b):
        out.append(
            f"{where}: {len(a)} entities != {len(b)}: "
            f"{[e.dxftype() for e in a]} != {[e.dxftype() for e in b]}"
        )
    for index, (ea, eb) in enumerate(zip(a, b)):
        label = f"{where} #{index} {ea.dxftype()}"
        if ea.dxftype() != eb.dxftype():
            out.append(f"{label}: type {ea.dxftype()} != {eb.dxftype()}")
            continue
        ra = entity_record(ea, ignore_handles, ignore_owner)
        rb = entity_record(eb, ignore_handles, ignore_owner)
        fill_defaults(ra, rb, ea)
        fill_defaults(rb, ra, eb)
        fold_symbol_names(ra)
        fold_symbol_names(rb)
        out += diff_dicts(label, ra, rb)
        out += compare_entity_lists(
            label, sub_entities(ea), sub_entities(eb), ignore_handles, ignore_owner
        )
    return out


# ---------------------------------------------------------------------------
# Blocks and layouts
# ---------------------------------------------------------------------------


def block_props(layout):
    block = layout.block
    return plain({
        "flags": block.dxf.get("flags"), "base_point": block.dxf.get("base_point"),
        "xref_path": block.dxf.get("xref_path", ""),
        "units": layout.block_record.dxf.get("units", 0),
    })  # fmt: skip


def compare_blocks(orig, saved, ignore_handles, ignore_owner=False):
    """Every block definition, model space and paper space included."""
    blocks_a = {b.name: b for b in orig.blocks}
    blocks_b = {b.name: b for b in saved.blocks}
    out = diff_keyed(
        "block",
        {name: block_props(b) for name, b in blocks_a.items()},
        {name: block_props(b) for name, b in blocks_b.items()},
    )
    for name, block in blocks_a.items():
        if name in blocks_b:
            out += compare_entity_lists(
                f"block {name!r}",
                list(block),
                list(blocks_b[name]),
                ignore_handles,
                ignore_owner,
            )
    return out


# ---------------------------------------------------------------------------
# Groups and objects
# ---------------------------------------------------------------------------


def entity_positions(doc):
    """handle -> 'layout#index', an identity that survives new handles."""
    positions = {}
    for block in doc.blocks:
        for index, e in enumerate(block):
            positions[e.dxf.handle] = f"{block.name}#{index}"
    return positions


def group_map(doc, ignore_handles):
    positions = entity_positions(doc) if ignore_handles else None
    groups = {}
    for name, group in doc.groups:
        handles = [e.dxf.handle for e in group]
        members = [positions.get(h, h) for h in handles] if positions else handles
        # ezdxf keeps loaded member handles in a set, so order carries no meaning.
        groups[name] = {"members": sorted(members)}
    return groups


def compare_groups(orig, saved, ignore_handles):
    return diff_keyed(
        "group", group_map(orig, ignore_handles), group_map(saved, ignore_handles)
    )


def compare_objects(orig, saved, ignore_handles):
    out = []
    types_a = Counter(o.dxftype() for o in orig.objects)
    types_b = Counter(o.dxftype() for o in saved.objects)
    for kind in sorted(set(types_a) | set(types_b)):
        if types_a[kind] != types_b[kind]:
            out.append(f"objects: {kind}: {types_a[kind]} != {types_b[kind]}")
    if not ignore_handles:
        handles_a = {o.dxf.handle for o in orig.objects}
        handles_b = {o.dxf.handle for o in saved.objects}
        if handles_a - handles_b:
            out.append(f"objects: handles missing in saved: {sorted(handles_a - handles_b)}")
        if handles_b - handles_a:
            out.append(f"objects: handles added in saved: {sorted(handles_b - handles_a)}")
    return out


# ---------------------------------------------------------------------------


def compare_docs(orig, saved, ignore_handles=False):
    """All differences between two loaded documents."""
    ignore_handles = ignore_handles or handles_are_new(orig)
    invented = owners_are_invented(orig)
    out = []
    if saved.dxfversion != "AC1032":
        out.append(f"version: saved as {saved.dxfversion}, not AC1032")
    out += compare_header(orig, saved)
    out += compare_tables(orig, saved)
    out += compare_blocks(orig, saved, ignore_handles, invented)
    out += compare_groups(orig, saved, ignore_handles)
    out += compare_objects(orig, saved, ignore_handles or invented)
    return out


def compare_files(original_path, saved_path, ignore_handles=False):
    orig = load_original(original_path)
    try:
        saved = ezdxf.readfile(saved_path)
    except (IOError, ezdxf.DXFError, UnicodeDecodeError) as exc:
        return [f"saved: cannot be read: {exc}"]
    # Compare before auditing: the audit repairs what it can in memory.
    return compare_docs(orig, saved, ignore_handles) + audit_errors(saved)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("original")
    parser.add_argument("saved")
    parser.add_argument(
        "--ignore-handles", action="store_true",
        help="handles and pointers may differ; match entities by position",
    )  # fmt: skip
    args = parser.parse_args(argv)
    try:
        differences = compare_files(args.original, args.saved, args.ignore_handles)
    except (IOError, ezdxf.DXFError) as exc:
        print(f"original: cannot be read: {exc}", file=sys.stderr)
        return 2
    for line in differences:
        print(line)
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
