#!/usr/bin/python3
"""Print a JSON summary of DXF content that ezdxf's document model drops.

Usage: raw_tags.py FILE

ezdxf reads block preview icons, the THUMBNAILIMAGE section and FIELD objects
without giving access to them, so this walks the raw tag stream instead:

  {"block_icons": {block name: hex of the concatenated 310 tags},
   "thumbnail": {"bytes": value of group 90, "hex": ...} or null,
   "fields": [{"handle", "owner", "evaluator", "code", "value", "format"}]}

Comparing the summaries of a fixture and of our saved copy shows whether the
writer kept these bytes intact.
"""

import json
import sys

from ezdxf.filemanagement import dxf_file_info
from ezdxf.lldxf.tagger import ascii_tags_loader


def load_tags(path):
    # Files before R2007 are in their $DWGCODEPAGE; ezdxf knows the mapping.
    encoding = dxf_file_info(path).encoding
    with open(path, encoding=encoding, errors="replace") as f:
        return [(tag.code, tag.value) for tag in ascii_tags_loader(f)]


def split_entities(tags):
    """Yield (section name, list of tags) for every `0` structure."""
    section = None
    current = None
    for code, value in tags:
        if code == 0:
            if current:
                yield section, current
            current = [(code, value)]
            if value in ("ENDSEC", "EOF"):
                section = None
        else:
            current.append((code, value))
            if current[0] == (0, "SECTION") and code == 2:
                section = value
    if current:
        yield section, current


def first(tags, code, default=None):
    return next((v for c, v in tags if c == code), default)


def joined(tags, codes):
    return "".join(v for c, v in tags if c in codes)


def block_icon(tags):
    name = first(tags, 2)
    icon = joined(tags, {310})
    return name, icon


def owner_of(tags):
    """The owner pointer, not a 330 inside a 102 reactor group."""
    depth = 0
    for code, value in tags:
        if code == 102:
            depth += 1 if value.startswith("{") else -1
        elif code == 330 and depth == 0:
            return value
    return None


def field_summary(tags):
    # Tags before the first data key (6/7 ACFD_FIELD_VALUE) describe the field;
    # the string after the key is the cached evaluated value.
    key = next(
        (i for i, (c, v) in enumerate(tags) if c in (6, 7) and v == "ACFD_FIELD_VALUE"),
        len(tags),
    )
    head, data = tags[:key], tags[key:]
    return {
        "handle": first(tags, 5),
        "owner": owner_of(tags),
        "evaluator": first(head, 1),
        "code": joined(head, {2, 3}),
        "value": first(data, 1, first(data, 302)),
        "format": joined(data, {301, 9}),
    }


def thumbnail(tags):
    return {"bytes": int(first(tags, 90, "0")), "hex": joined(tags, {310})}


def summarise(path):
    summary = {"block_icons": {}, "thumbnail": None, "fields": []}
    for section, tags in split_entities(load_tags(path)):
        kind = tags[0][1]
        if section == "THUMBNAILIMAGE" and kind == "SECTION":
            summary["thumbnail"] = thumbnail(tags)
        elif kind == "BLOCK_RECORD":
            name, icon = block_icon(tags)
            if icon:
                summary["block_icons"][name] = icon
        elif kind == "FIELD":
            summary["fields"].append(field_summary(tags))
    return summary


def main(argv):
    if len(argv) != 2:
        sys.exit("usage: raw_tags.py FILE")
    json.dump(summarise(argv[1]), sys.stdout, indent=1, ensure_ascii=False)
    print()


if __name__ == "__main__":
    main(sys.argv)
