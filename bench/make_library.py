#!/usr/bin/python3
"""Generate a large block library drawing for load benchmarks.

Usage: make_library.py OUT [--blocks N] [--min-mb M] [--seed S] [--check]

The drawing (AC1032) holds N named blocks, each with a 2088-byte preview icon
and a mix of LINE, CIRCLE, ARC, LWPOLYLINE, TEXT and one ATTDEF.  Blocks grow
evenly until the file reaches M megabytes.  The drawing's own preview (the
THUMBNAILIMAGE section, a 256 x 160 8-bit bitmap) ends the file.

ezdxf would need minutes for this, so it only writes the skeleton (header,
tables, objects); the block records and block definitions are formatted as
text and spliced in.  --check reads the result back with ezdxf and audits it.
"""

import argparse
import io
import os
import random
import re
import sys
import time

import ezdxf

MB = 1024 * 1024
CATEGORIES = ["BOLT", "NUT", "VALVE", "PUMP", "MOTOR", "RELAY", "SWITCH", "LAMP"]
ICON_SIDE = 32
ICON_SIZE = 40 + 256 * 4 + ICON_SIDE * ICON_SIDE  # 2088


# ---------------------------------------------------------------------------
# Preview icons
# ---------------------------------------------------------------------------


def bitmap(width, height, pixels):
    """An 8-bit device-independent bitmap with a grey palette, rows bottom-up."""
    header = b"".join(
        [
            (40).to_bytes(4, "little"),
            width.to_bytes(4, "little"),
            height.to_bytes(4, "little"),
            (1).to_bytes(2, "little"),
            (8).to_bytes(2, "little"),
            (0).to_bytes(4, "little"),
            (width * height).to_bytes(4, "little"),
            bytes(16),
        ]
    )
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    return header + palette + pixels


def hex_tags(data):
    hexed = data.hex().upper()
    # 310 lines carry at most 127 bytes = 254 hex digits.
    return "".join(f"310\n{hexed[i:i + 254]}\n" for i in range(0, len(hexed), 254))


PREVIEW_WIDTH, PREVIEW_HEIGHT = 256, 160  # rows of 256 bytes need no padding


def preview_section():
    pixels = bytes((x * 255 // PREVIEW_WIDTH) ^ (y & 0x10) for y in range(PREVIEW_HEIGHT) for x in range(PREVIEW_WIDTH))
    data = bitmap(PREVIEW_WIDTH, PREVIEW_HEIGHT, pixels)
    return f"  0\nSECTION\n  2\nTHUMBNAILIMAGE\n 90\n{len(data)}\n{hex_tags(data)}  0\nENDSEC\n"


def icon_prefix():
    """BITMAPINFOHEADER and grey palette shared by all icons."""
    return bitmap(ICON_SIDE, ICON_SIDE, b"")


def icon_tags(prefix, pixels, index):
    # Rotate the pixels per block so no two icons are equal: a reader that
    # mixes up icons between blocks shows it.
    shift = index % len(pixels)
    data = prefix + pixels[shift:] + pixels[:shift]
    assert len(data) == ICON_SIZE
    return hex_tags(data)


# ---------------------------------------------------------------------------
# Entities, formatted the way ezdxf writes them
# ---------------------------------------------------------------------------


def common(kind, handle, owner, layer, subclass):
    return (
        f"  0\n{kind}\n  5\n{handle:X}\n330\n{owner:X}\n"
        f"100\nAcDbEntity\n  8\n{layer}\n100\n{subclass}\n"
    )


def line(h, owner, layer, rng):
    x, y = rng.uniform(-50, 50), rng.uniform(-50, 50)
    return common("LINE", h, owner, layer, "AcDbLine") + (
        f" 10\n{x:.6f}\n 20\n{y:.6f}\n 30\n0.0\n"
        f" 11\n{x + rng.uniform(1, 20):.6f}\n 21\n{y + rng.uniform(-9, 9):.6f}\n 31\n0.0\n"
    )


def circle(h, owner, layer, rng):
    return common("CIRCLE", h, owner, layer, "AcDbCircle") + (
        f" 10\n{rng.uniform(-50, 50):.6f}\n 20\n{rng.uniform(-50, 50):.6f}\n 30\n0.0\n"
        f" 40\n{rng.uniform(0.5, 10):.6f}\n"
    )


def arc(h, owner, layer, rng):
    start = rng.uniform(0, 360)
    return common("ARC", h, owner, layer, "AcDbCircle") + (
        f" 10\n{rng.uniform(-50, 50):.6f}\n 20\n{rng.uniform(-50, 50):.6f}\n 30\n0.0\n"
        f" 40\n{rng.uniform(0.5, 10):.6f}\n100\nAcDbArc\n"
        f" 50\n{start:.6f}\n 51\n{(start + rng.uniform(10, 300)) % 360:.6f}\n"
    )


def lwpolyline(h, owner, layer, rng):
    count = rng.randint(3, 8)
    parts = [f" 90\n{count}\n 70\n{rng.randint(0, 1)}\n"]
    for _ in range(count):
        parts.append(f" 10\n{rng.uniform(-50, 50):.6f}\n 20\n{rng.uniform(-50, 50):.6f}\n")
        if rng.random() < 0.3:
            parts.append(f" 42\n{rng.uniform(-1, 1):.6f}\n")
    return common("LWPOLYLINE", h, owner, layer, "AcDbPolyline") + "".join(parts)


def text(h, owner, layer, rng):
    return common("TEXT", h, owner, layer, "AcDbText") + (
        f" 10\n{rng.uniform(-50, 50):.6f}\n 20\n{rng.uniform(-50, 50):.6f}\n 30\n0.0\n"
        f" 40\n{rng.choice((1.8, 2.5, 3.5)):.1f}\n  1\nNote {rng.randint(1, 99999)}\n"
        f"100\nAcDbText\n"
    )


def attdef(h, owner, layer, tag, default):
    return common("ATTDEF", h, owner, layer, "AcDbText") + (
        f" 10\n0.0\n 20\n-5.0\n 30\n0.0\n 40\n2.5\n  1\n{default}\n"
        f"100\nAcDbAttributeDefinition\n280\n0\n  3\nPart number\n  2\n{tag}\n 70\n0\n"
    )


SHAPES = [line, circle, arc, lwpolyline, text]
LAYERS = ["0", "Outline", "Detail", "Notes"]


# ---------------------------------------------------------------------------
# Blocks
# ---------------------------------------------------------------------------


class Handles:
    def __init__(self, seed):
        self.next = seed

    def take(self):
        self.next += 1
        return self.next - 1


def block_record(handle, table, name, icon):
    return (
        f"  0\nBLOCK_RECORD\n  5\n{handle:X}\n330\n{table:X}\n"
        f"100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n"
        f"  2\n{name}\n340\n0\n 70\n4\n280\n1\n281\n0\n{icon}"
    )


def block_begin(handle, owner, name):
    # Flag 2: the block has attribute definitions.
    return common("BLOCK", handle, owner, "0", "AcDbBlockBegin") + (
        f"  2\n{name}\n 70\n2\n 10\n0.0\n 20\n0.0\n 30\n0.0\n  3\n{name}\n  1\n\n"
    )


def block_end(handle, owner):
    return common("ENDBLK", handle, owner, "0", "AcDbBlockEnd")


def block_definition(handles, record, name, rng, min_bytes):
    """BLOCK, an ATTDEF, shapes until the text reaches min_bytes, ENDBLK."""
    parts = [block_begin(handles.take(), record, name)]
    parts.append(attdef(handles.take(), record, "0", "PARTNO", name))
    size = sum(len(p) for p in parts)
    # Every block gets at least a few shapes, whatever the size target says.
    while size < min_bytes or len(parts) < 6:
        shape = rng.choice(SHAPES)(handles.take(), record, rng.choice(LAYERS), rng)
        parts.append(shape)
        size += len(shape)
    parts.append(block_end(handles.take(), record))
    return "".join(parts)


def library_blocks(count, handles, table, min_total, fixed_bytes, seed):
    """Yield (block record text, block definition text) per block.

    The size target per block is recomputed after every block so the file
    ends just above min_total however the random mix turns out.
    """
    rng = random.Random(seed)
    prefix = icon_prefix()
    pixels = bytes(((x ^ y) * 8) & 255 for y in range(ICON_SIDE) for x in range(ICON_SIDE))
    written = fixed_bytes
    for index in range(count):
        name = f"{CATEGORIES[index % len(CATEGORIES)]}_{index:05d}"
        icon = icon_tags(prefix, pixels, index)
        record_handle = handles.take()
        record = block_record(record_handle, table, name, icon)
        per_block = (min_total - written) / (count - index)
        body = block_definition(handles, record_handle, name, rng, per_block - len(record))
        written += len(record) + len(body)
        yield record, body


# ---------------------------------------------------------------------------
# Skeleton and splicing
# ---------------------------------------------------------------------------


def skeleton():
    doc = ezdxf.new("R2018")
    doc.header["$INSUNITS"] = 4
    for name, color in zip(LAYERS[1:], (1, 3, 5)):
        doc.layers.add(name, color=color)
    stream = io.StringIO()
    doc.write(stream)
    return stream.getvalue()


def block_record_table(text):
    """Handle of the BLOCK_RECORD table and the offset of its ENDTAB."""
    match = re.search(r"  0\nTABLE\n  2\nBLOCK_RECORD\n  5\n([0-9A-F]+)\n", text)
    endtab = text.index("  0\nENDTAB\n", match.end())
    return int(match.group(1), 16), endtab


def handseed(text):
    return int(re.search(r"\$HANDSEED\n  5\n([0-9A-F]+)\n", text).group(1), 16)


def splice(text, records, blocks, next_handle, added):
    _table, endtab = block_record_table(text)
    text = text[:endtab] + records + text[endtab:]
    # The table's head counts its records (group 70): the added ones count too.
    head = re.search(r"  0\nTABLE\n  2\nBLOCK_RECORD\n(?:.*\n)*? 70\n(\d+)\n", text)
    text = text[: head.start(1)] + str(int(head.group(1)) + added) + text[head.end(1):]
    # The BLOCKS section ends at the first ENDSEC after its SECTION line.
    start = text.index("  2\nBLOCKS\n")
    end = text.index("  0\nENDSEC\n", start)
    text = text[:end] + blocks + text[end:]
    eof = text.rindex("  0\nEOF\n")
    text = text[:eof] + preview_section() + text[eof:]
    return re.sub(
        r"(\$HANDSEED\n  5\n)[0-9A-F]+\n", rf"\g<1>{next_handle:X}\n", text, count=1
    )


def build(count, min_mb, seed):
    text = skeleton()
    table, _endtab = block_record_table(text)
    handles = Handles(handseed(text))
    records, blocks = [], []
    for record, body in library_blocks(
        count, handles, table, min_mb * MB, len(text), seed
    ):
        records.append(record)
        blocks.append(body)
    return splice(text, "".join(records), "".join(blocks), handles.next, len(records))


def check(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    if auditor.has_errors or auditor.has_fixes:
        problems = [e.message for e in auditor.errors + auditor.fixes][:10]
        sys.exit(f"{path}: audit reports {problems}")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--blocks", type=int, default=5000)
    parser.add_argument("--min-mb", type=float, default=50)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--check", action="store_true", help="read back and audit with ezdxf")
    args = parser.parse_args(argv)
    if args.blocks < 1:
        parser.error("--blocks must be at least 1")
    started = time.perf_counter()
    text = build(args.blocks, args.min_mb, args.seed)
    # The content is ASCII, so characters and bytes agree.
    with open(args.out, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print(f"{args.out}: {args.blocks} blocks, {os.path.getsize(args.out) / MB:.1f} MB, "
          f"{time.perf_counter() - started:.1f} s")  # fmt: skip
    if args.check:
        check(args.out)


if __name__ == "__main__":
    main()
