#!/usr/bin/python3
"""The layer check on small made-up trees: it must catch what it is there to catch.

Usage: check_layers_test.py
"""
import pathlib
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import check_layers  # noqa: E402

ORDER = check_layers.Order(pathlib.Path(__file__).with_name("layers.txt").read_text(encoding="utf-8"))

# name, files (path -> text), the violations expected (each a substring of one line)
CASES = [
    ("downward includes pass",
     {"host/ge/point.h": "", "host/db/entity.h": '#include "../ge/point.h"\n#include "ge/point.h"\n',
      "frame/hostapi.h": '#include "db/entity.h"\n', "commands/flip.cpp": '#include "frame/hostapi.h"\n'},
     []),
    ("upward include, relative",
     {"host/ap/docs.h": "", "host/ed/jig.cpp": '#include "../ap/docs.h"\n'},
     ["host/ed/jig.cpp:1: includes host/ap/docs.h: host/ap is above host/ed"]),
    ("upward include from a root",
     {"host/dxf/codec.h": "", "host/rx/loader.cpp": '#include <vector>\n#include "dxf/codec.h"\n'},
     ["host/rx/loader.cpp:2: includes host/dxf/codec.h"]),
    ("host names the module",
     {"frame/hostapi.h": "", "host/app/main.cpp": '#include "frame/hostapi.h"\n'},
     ["host/app/main.cpp:1: includes frame/hostapi.h: frame is above host/app"]),
    ("module past its door",
     {"host/db/entity.h": "", "blocks/worker.cpp": '#include "db/entity.h"\n'},
     ["blocks/worker.cpp:1: includes host/db/entity.h: module code reaches the host only through"]),
    ("module layers upward and between peers",
     {"blocks/info.h": "", "storage/utils.h": '#include "blocks/info.h"\n',
      "blocktab/shell.h": "", "commands/burst.cpp": '#include "blocktab/shell.h"\n'},
     ["storage/utils.h:1: includes blocks/info.h: blocks is above storage",
      "commands/burst.cpp:1: includes blocktab/shell.h: blocktab and commands are peers"]),
    ("the wiring on top may name every family; frame may not",
     {"commands/commands.h": "", "palette/shell.h": "",
      "entry/commandtable.cpp": '#include "commands/commands.h"\n#include "palette/shell.h"\n',
      "frame/table.cpp": '#include "commands/commands.h"\n'},
     ["frame/table.cpp:1: includes commands/commands.h: commands is above frame"]),
    ("the window layer's order: render, framework, gs",
     {"host/ui/render/view.h": "", "host/ui/framework/wnd.h": "", "host/ui/gs/device.h": "",
      "host/ui/gs/device.cpp": '#include "ui/render/view.h"\n#include "ui/framework/wnd.h"\n',
      "host/ui/framework/list.cpp": '#include "ui/render/view.h"\n#include "ui/gs/device.h"\n',
      "host/ui/render/draw.cpp": '#include "ui/framework/wnd.h"\n'},
     ["host/ui/framework/list.cpp:2: includes host/ui/gs/device.h: host/ui/gs is above host/ui/framework",
      "host/ui/render/draw.cpp:1: includes host/ui/framework/wnd.h: host/ui/framework is above host/ui/render"]),
    ("a folder with no place in the order",
     {"host/xyz/thing.cpp": "", "fieldtab/page.cpp": "", "tests/unit/any_test.cpp": '#include "../../host/ap/x.h"\n'},
     ["host/xyz/thing.cpp: its folder has no place"]),
    ("window layer and pages already placed",
     {"host/ed/editor.h": "", "host/ui/framework/dialog.cpp": '#include "ed/editor.h"\n',
      "host/app/window.cpp": '#include "ui/framework/dialog.h"\n', "host/ui/framework/dialog.h": "",
      "blocktab/page.cpp": '#include "blocks/info.h"\n#include "frame/hostapi.h"\n', "blocks/info.h": "",
      "frame/hostapi.h": ""},
     []),
]


def run_case(files):
    with tempfile.TemporaryDirectory() as d:
        root = pathlib.Path(d)
        for rel, text in files.items():
            (root / rel).parent.mkdir(parents=True, exist_ok=True)
            (root / rel).write_text(text, encoding="utf-8")
        return check_layers.violations(root, ORDER)


def main():
    failures = []
    for name, files, expected in CASES:
        found = run_case(files)
        unmatched = [e for e in expected if not any(e in f for f in found)]
        if unmatched or len(found) != len(expected):
            failures.append(f"{name}: found {found}, expected {expected}")
    for f in failures:
        print(f)
    print(f"{len(CASES)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
