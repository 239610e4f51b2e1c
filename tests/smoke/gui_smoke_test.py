#!/usr/bin/python3
"""Smoke test of the desktop program under Xvfb, with a real mouse and keyboard.

marvolt-host starts on a sample drawing in a virtual X display. Real mouse clicks open
the "Marvolt" menu of the menu bar (between File and View) and choose its first entry,
"Marvolt", and the palette must appear at the left edge; a real click on the "Field
Manager" tab must bring that page up. Screenshots of each step are saved as PNG files
into the work folder.

Where Xvfb, xdotool or xwd is missing the test says so and is skipped (exit 77).

Then, back on the Block Manager page, the library's path is typed into the path edit, a
block is dragged by a real drag from the block list onto the drawing and placed with a
click, and the drawing saved with Ctrl+S must hold it.

Usage: gui_smoke_test.py HOST DRAWING LIBRARY WORKDIR
"""
import os
import shutil
import struct
import subprocess
import sys
import time
import zlib

SKIPPED = 77
VIEW_BACKGROUND = (33, 40, 48)


def xwd_pixels(data):
    """Decodes a 24/32-bit TrueColor screen dump of xwd: width, height, pixel(x, y)."""
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    start = header_size + ncolors * 12
    # Xvfb may pack depth 24 in three bytes a pixel, with the lines padded further.
    step = bits_per_pixel // 8
    if step not in (3, 4) or bytes_per_line < step * width:
        raise RuntimeError(f"screen dump of {bits_per_pixel} bits a pixel")

    def pixel(x, y):
        at = start + y * bytes_per_line + step * x
        b = data[at:at + step]
        return (b[2], b[1], b[0]) if byte_order == 0 else tuple(b[step - 3:step])
    return width, height, pixel


def save_png(path, width, height, pixel, box):
    """Writes the box (x, y, w, h) of the dump as an RGB PNG, with the standard library."""
    x0, y0, w, h = box
    rows = b"".join(b"\x00" + bytes(c for x in range(x0, x0 + w) for c in pixel(x, y))
                    for y in range(y0, y0 + h))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b""))


class Display:
    def __init__(self, work):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1600x1000x24",
                                        "-nolisten", "tcp"], pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.name = ":" + f.readline().strip()
        self.work = work

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
        env.update(DISPLAY=self.name, **extra)
        return env

    def tool(self, *args, timeout=20):
        return subprocess.run(list(args), env=self.env(), capture_output=True, text=True, timeout=timeout,
                              check=True).stdout

    def shot(self, name, box):
        data = subprocess.run(["xwd", "-root", "-silent"], env=self.env(), capture_output=True,
                              timeout=20, check=True).stdout
        width, height, pixel = xwd_pixels(data)
        save_png(os.path.join(self.work, name), width, height, pixel, box)
        return pixel

    def click(self, x, y):
        self.tool("xdotool", "mousemove", "--sync", str(x), str(y))
        self.tool("xdotool", "click", "1")

    def close(self):
        self.server.terminate()
        self.server.wait(timeout=10)


def settle():
    time.sleep(1.0)


def near(colour, other, tolerance=12):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, other))


# Where the Block Manager page's controls lie in the main window while the palette is
# docked at the left edge: the template's dialog units at Tahoma 8 (6 x 13 pixels a unit
# pair), offset by the palette's title and frame.
PAGE_LEFT, PAGE_TOP = 10, 48
PATH_EDIT = (PAGE_LEFT + 50, PAGE_TOP + 232)
BLOCK_LIST = (PAGE_LEFT + 230, PAGE_TOP + 44)
GRID = (76, 60)


def text_runs(pixel, left, right, top, bottom, gap=8):
    """The spans (first, last) of columns holding dark text between the rows, left to
    right; columns closer than gap join one span."""
    columns = [px for px in range(left, right) if any(sum(pixel(px, py)) < 300 for py in range(top, bottom))]
    runs = []
    for px in columns:
        if runs and px - runs[-1][1] <= gap:
            runs[-1][1] = px
        else:
            runs.append([px, px])
    return runs


def choose_marvolt_from_menu(display, x, y, w):
    """Clicks the menu bar's "Marvolt" title and the first entry of the menu it opens."""
    bar = display.shot("smoke-2-menubar.png", (x, y, w, 40))
    # The titles' letters stand in the bar's top rows: File, Edit, Marvolt, View.
    titles = text_runs(bar, x, x + w // 2, y + 2, y + 14)
    if len(titles) != 4:
        return [f"the menu bar shows {len(titles)} titles, not File, Edit, Marvolt and View"]
    left, right = titles[2]
    display.click((left + right) // 2, y + 8)
    settle()
    # The menu hangs from the bar's foot under its title; its first entry is at its top.
    display.click(left + 30, y + 32)
    settle()
    return []


def drag_block_onto_view(display, x, y, w, h, library):
    failures = []
    display.click(x + PATH_EDIT[0], y + PATH_EDIT[1])
    display.tool("xdotool", "key", "ctrl+a", "BackSpace")
    # A name none of whose beginnings names a file: every existing path on the way would
    # be taken at once, and the keyboard focus with it.
    display.tool("xdotool", "type", "--delay", "20", library)
    settle()
    # The second icon of the sorted list (GEOM), pressed and dragged to the view's middle.
    start = (x + BLOCK_LIST[0] + GRID[0] // 2, y + BLOCK_LIST[1] + GRID[1] + GRID[1] // 2)
    target = (x + w * 3 // 4, y + h // 3)
    display.tool("xdotool", "mousemove", "--sync", str(start[0]), str(start[1]))
    display.tool("xdotool", "mousedown", "1")
    for step in range(1, 11):
        px = start[0] + (target[0] - start[0]) * step // 10
        py = start[1] + (target[1] - start[1]) * step // 10
        display.tool("xdotool", "mousemove", "--sync", str(px), str(py))
        time.sleep(0.05)
    display.tool("xdotool", "mouseup", "1")
    settle()
    display.shot("smoke-4-dragged.png", (x, y, w, h))
    # The block follows the pointer until a click places it.
    display.click(target[0] + 40, target[1] + 20)
    settle()
    display.shot("smoke-5-placed.png", (x, y, w, h))
    return failures


def check_dragged_block(drawing, library):
    """The saved drawing holds one reference of the dragged block."""
    try:
        import ezdxf
    except ImportError:
        return []
    names = [e.dxf.name for e in ezdxf.readfile(drawing).modelspace().query("INSERT")]
    return [] if names.count("GEOM") == 1 else [f"the drawing's references after the drag: {names}"]


def main():
    host, source, library, work = (os.path.abspath(a) for a in sys.argv[1:5])
    missing = [tool for tool in ("Xvfb", "xdotool", "xwd") if not shutil.which(tool)]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (Debian packages xvfb, xdotool, x11-apps)")
        return SKIPPED
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    # The drawing is saved at the end: a copy of the sample.
    drawing = os.path.join(work, "drawing.dwg")
    shutil.copyfile(source, drawing)
    shutil.copyfile(library, os.path.join(work, "zqlibrary.dwg"))
    library = "zqlibrary.dwg"
    display = Display(work)
    failures = []
    program = subprocess.Popen([host, "--open", drawing],
                               env=display.env(XDG_CONFIG_HOME=os.path.join(work, "config"), TMPDIR=work), cwd=work,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        window = display.tool("xdotool", "search", "--sync", "--onlyvisible", "--name", "Marvolt Host").split()[0]
        geometry = dict(line.split("=") for line in display.tool("xdotool", "getwindowgeometry", "--shell",
                                                                  window).split())
        x, y, w, h = (int(geometry[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        settle()
        before = display.shot("smoke-1-started.png", (x, y, w, h))
        # The palette's place at the left edge shows the drawing until it comes.
        probe = (x + 120, y + h // 2)
        if not near(before(*probe), VIEW_BACKGROUND):
            failures.append(f"the drawing view is not at the left edge at first: {before(*probe)}")

        # A person opens the "Marvolt" menu and chooses its "Marvolt" entry.
        failures += choose_marvolt_from_menu(display, x, y, w)
        shown = display.shot("smoke-2-palette.png", (x, y, w, h))
        if near(shown(*probe), VIEW_BACKGROUND):
            failures.append("no palette at the left edge after the menu's \"Marvolt\"")

        # The tab strip runs down the palette's right side; find the palette's right edge
        # where the drawing's background starts again, and click the second tab.
        row = y + h // 2
        edge = next((px for px in range(x + 40, x + w // 2) if near(shown(px, row), VIEW_BACKGROUND)), None)
        if edge is None:
            failures.append("cannot find the palette's right edge")
        else:
            # Inside the strip, clear of the upright tab texts: the tabs' top and bottom
            # borders are the dark rows; the second tab lies between the second and third.
            column = edge - 10
            dark = [py for py in range(y + 30, y + h // 2)
                    if sum(shown(column, py)) < 450 and sum(shown(column, py - 1)) >= 450]
            target = (dark[1] + dark[2]) // 2 if len(dark) > 2 else y + 180
            before_click = shown(column, target)
            display.click(column, target)
            settle()
            after = display.shot("smoke-3-field-manager.png", (x, y, w, h))
            if after(column, target) == before_click:
                failures.append(f"the click on the second tab at {column},{target} changed nothing")
            # Back to the Block Manager page: the library typed into its path edit, a block
            # dragged by a real drag onto the drawing and placed with a click there.
            display.click(column, (dark[0] + dark[1]) // 2 if len(dark) > 1 else y + 90)
            settle()
            failures += drag_block_onto_view(display, x, y, w, h, library)
        if program.poll() is not None:
            failures.append(f"the program ended: {program.returncode} {program.stderr.read()}")
        else:
            display.tool("xdotool", "key", "ctrl+s")
            settle()
            failures += check_dragged_block(drawing, library)
    except (subprocess.SubprocessError, StopIteration, IndexError) as e:
        failures.append(f"the desktop run failed: {e}")
    finally:
        if program.poll() is None:
            program.terminate()
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                program.kill()
        display.close()
    for message in failures:
        print(message)
    print(f"screenshots in {work}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
