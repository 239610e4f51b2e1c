#!/usr/bin/python3
"""Fails when an #include runs against the project's layer order.

Usage: check_layers.py SOURCE_DIR [LAYERS_FILE]

The order lives in layers.txt beside this script. Every source file under host/ and
under the module's folders is read; each quoted or angled include that names a file of
the project is resolved as the compiler would (the including file's folder first, then
the include roots: the source tree and host/) and checked:
  - a folder may include its own files and those of lower layers, never a higher one or
    a peer on the same line;
  - module code reaches the host only through the door header (frame/hostapi.h);
  - a file of host/ or of the module that sits in no listed folder is an error too, so a
    new folder has to be placed in the order before it can hold code.
Includes that resolve to nothing in the tree (system and Qt headers, generated files)
are not the rule's business. Tests, benchmarks and the fuzzer are outside it.
"""
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc", ".cxx", ".inl"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


class Order:
    def __init__(self, text):
        self.rank = {}       # folder -> (side, rank)
        self.doors = set()   # module files allowed to include the host
        side, rank = None, 0
        for number, raw in enumerate(text.splitlines(), 1):
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line in ("[host]", "[module]"):
                side = line[1:-1]
                continue
            if side is None:
                raise ValueError(f"line {number}: a layer before [host] or [module]")
            words = line.split()
            if words[0] == "door":
                self.doors.update(words[1:])
            else:
                # The module sits above the whole host: host ranks come first.
                for folder in words:
                    self.rank[folder] = (side, rank)
                rank += 1

    def folder_of(self, rel):
        """The listed folder a path belongs to (longest match), or None."""
        best = None
        for folder in self.rank:
            if rel == folder or rel.startswith(folder + "/"):
                if best is None or len(folder) > len(best):
                    best = folder
        return best

    def governed(self, rel):
        """True for files the rule covers: host/ and the module's top-level folders."""
        top = rel.split("/", 1)[0]
        module_tops = {f.split("/", 1)[0] for f, (side, _) in self.rank.items() if side == "module"}
        return top == "host" or top in module_tops


def resolve(source, including, name, quoted):
    candidates = []
    if quoted:
        candidates.append(including.parent / name)
    candidates += [source / name, source / "host" / name]
    for c in candidates:
        if c.is_file():
            return c.resolve()
    return None


def violations(source, order):
    source = source.resolve()
    found = []
    for path in sorted(source.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        rel = path.relative_to(source).as_posix()
        if rel.startswith("build") or not order.governed(rel):
            continue
        folder = order.folder_of(rel)
        if folder is None:
            found.append(f"{rel}: its folder has no place in the layer order")
            continue
        side, rank = order.rank[folder]
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = resolve(source, path, m.group(2), m.group(1) == '"')
            if target is None or source not in target.parents:
                continue
            trel = target.relative_to(source).as_posix()
            tfolder = order.folder_of(trel)
            where = f"{rel}:{number}: includes {trel}"
            if tfolder is None:
                if order.governed(trel):
                    found.append(f"{where}, whose folder has no place in the layer order")
                continue
            if tfolder == folder:
                continue
            tside, trank = order.rank[tfolder]
            if side == "module" and tside == "host":
                if rel not in order.doors:
                    found.append(f"{where}: module code reaches the host only through "
                                 f"{' or '.join(sorted(order.doors))}")
                continue
            if trank > rank:
                found.append(f"{where}: {tfolder} is above {folder}")
            elif trank == rank:
                found.append(f"{where}: {tfolder} and {folder} are peers")
    return found


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    source = pathlib.Path(argv[1])
    layers = pathlib.Path(argv[2]) if len(argv) == 3 else pathlib.Path(__file__).with_name("layers.txt")
    order = Order(layers.read_text(encoding="utf-8"))
    found = violations(source, order)
    for v in found:
        print(v)
    if found:
        print(f"{len(found)} include(s) against the layer order in {layers}")
        return 1
    print("every include follows the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
