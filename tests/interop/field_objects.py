#!/usr/bin/python3
"""Print, as JSON, the field MTexts and leaders of a drawing as ezdxf finds them.

Usage: field_objects.py FILE

A reader finds a field from its MText: the MText's extension dictionary holds an
"ACAD_FIELD" dictionary, whose "TEXT" entry is the FIELD object. ezdxf keeps FIELD
objects without a model, so their codes come from its tag reader.

  {"mtexts": [{"handle", "text", "insert", "height", "attachment", "field_code"}],
   "leaders": [{"handle", "vertices", "annotation", "spline"}],
   "fields": number of FIELD objects in the file}
"""

import json
import sys

import ezdxf
from ezdxf.lldxf.tagger import ascii_tags_loader


def field_codes(path):
    """FIELD handle -> its code (groups 2 and 3 of the AcDbField subclass)."""
    codes = {}
    current = None
    with open(path, encoding="utf-8", errors="replace") as f:
        for tag in ascii_tags_loader(f):
            if tag.code == 0:
                current = {"code": ""} if tag.value == "FIELD" else None
            elif current is not None:
                if tag.code == 5:
                    codes[tag.value] = current
                elif tag.code in (2, 3):
                    current["code"] += tag.value
    return {handle: c["code"] for handle, c in codes.items()}


def field_of(doc, codes, mtext):
    if not mtext.has_extension_dict:
        return None
    xdict = mtext.get_extension_dict().dictionary
    fields = xdict.get("ACAD_FIELD")
    if fields is None:
        return None
    field = fields.get("TEXT")
    handle = field if isinstance(field, str) else field.dxf.handle
    return codes.get(handle)


def main(path):
    doc = ezdxf.readfile(path)
    codes = field_codes(path)
    msp = doc.modelspace()
    out = {"mtexts": [], "leaders": [], "fields": len(codes)}
    for mtext in msp.query("MTEXT"):
        out["mtexts"].append({
            "handle": mtext.dxf.handle,
            "text": mtext.text,
            "insert": list(mtext.dxf.insert),
            "height": mtext.dxf.char_height,
            "attachment": mtext.dxf.attachment_point,
            "field_code": field_of(doc, codes, mtext),
        })
    for leader in msp.query("LEADER"):
        out["leaders"].append({
            "handle": leader.dxf.handle,
            "vertices": [list(v) for v in leader.vertices],
            "annotation": leader.dxf.get("annotation_handle"),
            "spline": bool(leader.dxf.path_type),
        })
    json.dump(out, sys.stdout)


if __name__ == "__main__":
    main(sys.argv[1])
