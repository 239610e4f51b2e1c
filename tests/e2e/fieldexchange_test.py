#!/usr/bin/python3
"""End to end: the Field Manager page exchanging custom properties with drawings, with the
field database and with fields in the drawing, worked through "@ui" lines only.

Each script in fieldexchange/ runs marvolt-host in a folder of its own (its TMPDIR, so its
own "FieldDb.db", and its own XDG_CONFIG_HOME), on a copy of the sample drawing named
drawing.dwg; beside it lie the files its file dialogs choose: copies of the sample
(other.dwg, declined.dwg, emptied.dwg), binary junk named x.dwg and a copy of the sample
cut in half (truncated.dwg). After the transcript is compared with the golden file, the
files the run wrote (or must not have written) are read back: drawings with ezdxf, the
field database with the sqlite3 program.

Usage: fieldexchange_test.py HOST DRAWING WORKDIR
"""
import glob
import os
import shutil
import subprocess
import sys

import ezdxf

from drawingchecks import Failures, added
from golden import report, run_in_folder

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLE_PROPERTIES = {"Project": "Harbour Office", "Drawn by": "J. Marsh"}
# Not a drawing in any form: NUL bytes and bytes of every value.
JUNK = b"\x00\x01\x02AC1032\r\n\x1a\x00" + bytes((i * 37 + 11) % 256 for i in range(4096))


def properties(path):
    return dict(ezdxf.readfile(path).header.custom_vars)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


# --- the current drawing ---

def check_this_drawing(folder, original, f):
    f.expect(properties(os.path.join(folder, "declined.dwg")) == SAMPLE_PROPERTIES,
             "a save answered No changed the drawing's properties")
    three = dict(SAMPLE_PROPERTIES, Client="City Port")
    for name in ("props.dwg", "kept.dwg"):
        got = properties(os.path.join(folder, name))
        f.expect(got == three, f"{name}: properties {got} instead of {three}")
    for name in ("cleared.dwg", "final.dwg"):
        saved = ezdxf.readfile(os.path.join(folder, name))
        f.expect(not saved.header.custom_vars, f"{name}: properties left {list(saved.header.custom_vars)}")
        f.expect(not added(original, saved) and len(saved.modelspace()) == len(original.modelspace()),
                 f"{name}: clearing the properties changed the entities")


# --- other drawings ---

def check_other_drawing(folder, original, f):
    got = properties(os.path.join(folder, "other.dwg"))
    # The list's own "Project" was kept over the file's in the merge, and saved so.
    want = {"Project": "Ferry Terminal", "Drawn by": "J. Marsh", "Client": "City Port"}
    f.expect(got == want, f"other.dwg: properties {got} instead of {want}")
    f.expect(read_bytes(os.path.join(folder, "declined.dwg")) == read_bytes(os.path.join(folder, "sample.copy")),
             "declined.dwg was written although the save was answered No")
    emptied = ezdxf.readfile(os.path.join(folder, "emptied.dwg"))
    f.expect(not emptied.header.custom_vars, f"emptied.dwg: properties left {list(emptied.header.custom_vars)}")
    f.expect(len(emptied.modelspace()) == len(original.modelspace()), "emptied.dwg: entities changed")
    final = properties(os.path.join(folder, "final.dwg"))
    f.expect(final == SAMPLE_PROPERTIES, f"the current drawing's properties became {final}")


def check_unreadable_files(folder, original, f):
    f.expect(read_bytes(os.path.join(folder, "x.dwg")) == JUNK, "x.dwg was changed")
    f.expect(read_bytes(os.path.join(folder, "truncated.dwg")) == truncated(read_bytes(os.path.join(folder, "sample.copy"))),
             "truncated.dwg was changed")
    # A save that never happened leaves no temporary file beside them either.
    strays = [n for n in os.listdir(folder) if n.startswith(("x.", "truncated.")) and n not in ("x.dwg", "truncated.dwg")]
    f.expect(not strays, f"files left beside them: {strays}")
    final = properties(os.path.join(folder, "final.dwg"))
    f.expect(final == SAMPLE_PROPERTIES, f"the current drawing's properties became {final}")


# --- the field database ---

def sqlite(folder, *commands):
    run = subprocess.run(["sqlite3", os.path.join(folder, "FieldDb.db"), *commands], capture_output=True, text=True)
    return run.stdout.strip().splitlines() if run.returncode == 0 else [f"sqlite3 failed: {run.stderr.strip()}"]


def check_field_database(folder, original, f):
    tables = sqlite(folder, ".tables")
    f.expect(tables == ["Doors"], f"tables {tables}")
    schema = sqlite(folder, ".schema Doors")
    want = ["CREATE TABLE Doors (Key INTEGER PRIMARY KEY, FieldName TEXT,FieldValue TEXT);"]
    f.expect(schema == want, f"schema {schema}")
    rows = sqlite(folder, "SELECT Key, FieldName, FieldValue FROM Doors ORDER BY Key;")
    want = ["1|Owner's name|O'Brien", "2|Door's finish|Oak 'natural'"]
    f.expect(rows == want, f"rows {rows} instead of {want}")


# --- fields ---

def field_code(doc, mtext):
    """The code of the FIELD reached from the MText: extension dictionary, "ACAD_FIELD",
    "TEXT" (ezdxf keeps FIELD objects as tags)."""
    if not mtext.has_extension_dict:
        return None
    fields = mtext.get_extension_dict().dictionary.get("ACAD_FIELD")
    field = fields.get("TEXT") if fields is not None else None
    if isinstance(field, str):
        field = doc.entitydb.get(field)
    if field is None or field.dxftype() != "FIELD":
        return None
    subclass = next((s for s in field.xtags.subclasses if s[0].value == "AcDbField"), [])
    return "".join(t.value for t in subclass if t.code in (2, 3))


def check_placed_fields(folder, original, f):
    saved = ezdxf.readfile(os.path.join(folder, "final.dwg"))
    new = added(original, saved)
    mtexts = [e for e in new if e.dxftype() == "MTEXT"]
    leaders = [e for e in new if e.dxftype() == "LEADER"]
    f.expect(len(mtexts) == 3 and len(leaders) == 2 and len(new) == 5, f"added {[e.dxftype() for e in new]}")
    f.expect(dict(saved.header.custom_vars).get("Project") == "Harbour Office West",
             f"Project is {dict(saved.header.custom_vars).get('Project')!r}")
    project = [m for m in mtexts if field_code(saved, m) == "\\AcVar CustomDP.Project"]
    f.expect(len(project) == 1, f"MText fields {[field_code(saved, m) for m in mtexts]}")
    if project:
        f.near(project[0].dxf.insert, (60, 10, 0), "the Project MText")
        f.expect(project[0].text == "Harbour Office West", f"the Project MText was saved as {project[0].text!r}")
    by_handle = {m.dxf.handle: m for m in mtexts}
    for leader, spline, start, end in zip(leaders, (0, 1), ((10, 60), (90, 60)), ((30, 70), (70, 75))):
        what = "spline leader" if spline else "leader"
        note = by_handle.get(leader.dxf.get("annotation_handle"))
        f.expect(note is not None, f"the {what}'s annotation {leader.dxf.get('annotation_handle')} is no new MText")
        f.expect(leader.dxf.get("path_type", 0) == spline, f"the {what}'s path type {leader.dxf.get('path_type')}")
        f.expect([tuple(v)[:2] for v in leader.vertices] == [start, end], f"the {what}'s vertices {list(leader.vertices)}")
        if note is not None:
            f.expect(field_code(saved, note) == "\\AcVar CustomDP.Drawn by", f"the {what}'s field {field_code(saved, note)!r}")
            f.expect(note.text == "J. Marsh", f"the {what}'s text {note.text!r}")
            f.near(note.dxf.insert, (*end, 0), f"the {what}'s text")


def check_escape_field(folder, original, f):
    saved = ezdxf.readfile(os.path.join(folder, "final.dwg"))
    f.expect(not added(original, saved), f"added {[e.dxftype() for e in added(original, saved)]}")
    fields = [o for o in saved.objects if o.dxftype() == "FIELD"]
    f.expect(not fields, f"{len(fields)} FIELD objects saved")


def check_busy_command(folder, original, f):
    got = properties(os.path.join(folder, "final.dwg"))
    f.expect(got == SAMPLE_PROPERTIES, f"properties {got} after refused changes")


CHECKS = {
    "busy_command": check_busy_command,
    "this_drawing": check_this_drawing,
    "other_drawing": check_other_drawing,
    "unreadable_files": check_unreadable_files,
    "field_database": check_field_database,
    "placed_fields": check_placed_fields,
    "escape_field": check_escape_field,
}


def truncated(data):
    return data[: len(data) // 2]


def lay_out(folder, drawing):
    """The drawing and the files the scripts' file dialogs choose."""
    os.makedirs(folder)
    sample = read_bytes(drawing)
    for name in ("drawing.dwg", "other.dwg", "declined.dwg", "emptied.dwg", "sample.copy"):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(sample)
    with open(os.path.join(folder, "truncated.dwg"), "wb") as out:
        out.write(truncated(sample))
    with open(os.path.join(folder, "x.dwg"), "wb") as out:
        out.write(JUNK)


def main(host, drawing, work):
    host, drawing, work = (os.path.abspath(p) for p in (host, drawing, work))
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    original = ezdxf.readfile(drawing)
    failures = []
    scripts = sorted(glob.glob(os.path.join(HERE, "fieldexchange", "*.scr")))
    for script in scripts:
        name = os.path.splitext(os.path.basename(script))[0]
        folder = os.path.join(work, name)
        lay_out(folder, drawing)
        ran, problems = run_in_folder(host, script, folder)
        f = Failures(problems)
        if ran:
            CHECKS[name](folder, original, f)
        failures += [f"{name}: {p}" for p in f]
    return report(len(scripts), failures)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
