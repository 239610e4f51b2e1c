#!/usr/bin/python3
"""Random but reproducible sessions of the windows: a person trying things out.

Each seed makes one script of "@ui" lines and typed commands, drawn from a table of
actions that suit the state the windows are in as far as the script can tell (which
modal window is open, which page of the palette shows, what the field list holds):
the palette's two pages, the key dialog, the text prompt and the Table Browser, message
boxes and file dialogs, the drawing view and the main window, the module's commands with
their prompts, undo and redo, unloading and loading the module, opening another drawing.
marvolt-host runs each script on a fixture drawing in a folder of its own.

A run that the host ends on a line it cannot act on (status 2, 3 or 4, the line named on
stderr) is no failure: the guess about the state was wrong, or the input was meant to be
refused. A failure is a run killed by a signal or ended with another status, a report
from a sanitizer on stderr, or a run that does not end in time. The seed's script is
then kept in WORKDIR for a rerun by hand.

The drawings are those named, and those the view and command scripts run on (made here
with ezdxf). Each seed's line shows how far its run went and how it ended.

Usage: random_actions_test.py HOST WORKDIR DRAWING... [--seeds N] [--first S] [--lines N]
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

import make_command_drawings
import make_view_drawing

# Statuses a run may end with: done, a line that is no command, refused input, a file
# that could not be opened or saved.
KNOWN_STATUSES = {0: "done", 2: "not a command", 3: "refused", 4: "file failed"}
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "runtime error:", "LeakSanitizer")
# Under the sanitizers a run is several times slower; no run comes near this.
RUN_TIMEOUT = 60

TEXTS = ["Scale", "1:50", "Drawn by", "Ann", "", " ", "   ", "O'Brien", 'say \\"hi\\"', "été.dwg", "Büro",
         "Straße", "Ωμέγα", "Привет", "项目", "北京", "😀 ok", "%%c20", "a\\b", "x" * 300, "Doors", "1e308",
         "-0", "#1", "lib/library.dwg", "*", "?", "ä" * 40]
PATHS = ["lib/library.dwg", "other.dwg", "missing.dwg", "lib", "truncated.dwg", "", "été.dwg"]
BLOCK_ITEMS = ['"GEOM"', '"TITLETAG"', "#0", "#1", "#2"]
KEYS = ["Tab", "Shift+Tab", "Up", "Down", "Home", "End", "PageUp", "PageDown", "Enter", "Esc", "Delete", "F2",
        "Alt+A", "Ctrl+Z", "Ctrl+Y"]
BM_CONTROLS = ["104:106", "104:108", "104:110", "104:117", "104:118", "104:119", "104:150", "104:155", "104:167",
               "104:168", "104:170", "104:171"]
FM_CONTROLS = ["105:125", "105:128", "105:129", "105:130", "105:132"]
FM_ACTIONS = ["Get From This Drawing", "Save To This Drawing", "Get From Other Drawing", "Save To Other Drawing",
              "Clear this Drawing", "Clear Other Drawing", "Save To Database", "Get From Database", "Clear Grid",
              "Add Key", "Delete Key", "Edit Key"]
SELECTING = ["zelBurst", "ERASE", "texttoclayer", "dimtoclayer", "inserttoclayer"]
PICKING = ["zelncopy", "flipx", "flipy"]
PLAIN = ["U", "REDO", "REGEN", "zelPurgeGroups", "zelblockicon"]


def quote(text):
    return '"' + text + '"'


def point(rng):
    pick = rng.random()
    if pick < 0.7:
        return f"{rng.randint(-20, 80)},{rng.randint(-20, 60)}"
    if pick < 0.85:
        return f"{rng.uniform(-1e3, 1e3):.3f},{rng.uniform(-1e3, 1e3):.3f}"
    return rng.choice(["1e6,1e6", "-1e6,0", "0,0", "0.5,0.25,3", "1e300,1e300"])


class Session:
    """What the script can tell of the windows, and the lines made so far."""

    def __init__(self, rng):
        self.rng = rng
        self.lines = []
        self.modals = []      # innermost last: key, text, browser, box, yesno, file, menu
        self.module = True
        self.palette = False
        self.page = 0
        self.rows = []        # the field list's keys, as far as known
        self.selected = None  # the selected row
        self.tables = set()   # saved to the database, lowered
        self.browser_selected = False
        self.database = False  # whether the field database file is there yet
        self.library = False   # whether the Block Manager lists a library's blocks
        self.history = False   # whether its history list holds a library
        self.pending = None    # what the open modal window was opened for
        self.typed_key = None
        self.typed_name = ""

    def say(self, *lines):
        self.lines.extend(lines)

    # --- prompts of commands: answered a few times, then cancelled ---

    def prompt_episode(self, kind):
        # One answer at most: a command may be done after it, and what followed would be
        # read as a command. The cancel is taken as well at the command prompt.
        rng = self.rng
        pick = rng.random()
        if pick < 0.1:
            self.say(rng.choice(["@ui show view", "@ui show main"] + ["@ui show palette"] * self.palette))
        elif pick < 0.15 and self.palette and self.module:
            self.field_action_while_busy()
            return
        elif pick < 0.7 and kind == "select":
            for _ in range(rng.randint(1, 3)):
                self.say(rng.choice(["ALL", f"W {point(rng)} {point(rng)}", f"C {point(rng)} {point(rng)}", point(rng)]))
            if rng.random() < 0.7:
                self.say("")
                return
        elif pick < 0.7 and kind == "text":
            self.say(rng.choice(["0", "ANNO", "CURRENT", "NONE", "", "Büro"]))
            return
        elif pick < 0.7:
            self.say(point(rng))
        self.say("^C")

    def field_action_while_busy(self):
        # Busy with a command: the palette says so in a box, or asks first.
        if self.page != 1:
            self.say("@ui tab 103:102 #1")
            self.page = 1
        action = self.rng.choice(["Get From This Drawing", "Clear this Drawing", "Save To This Drawing"])
        self.say(f"@ui choose 105:125 {quote(action)}")
        if action != "Get From This Drawing":
            self.say("@ui answer Yes")
        self.say("@ui answer OK", "^C")

    # --- the state with no modal window open ---

    def idle_actions(self):
        acts = [(3, self.command), (2, self.main_window), (2, self.view_action), (1, self.file_line)]
        if not self.module:
            return [(6, self.load_module)] + acts
        acts.append((1, self.module_swap))
        if not self.palette:
            return [(8, self.show_palette)] + acts
        acts += [(2, self.palette_frame), (1, self.switch_page)]
        acts.append((10, self.block_page if self.page == 0 else self.field_page))
        return acts

    def show_palette(self):
        self.say("marvolt")
        self.palette = True

    def load_module(self):
        self.say("LOADMODULE")
        self.module = True

    def module_swap(self):
        self.say(self.rng.choice(["UNLOADMODULE", "UNLOADMODULE", "LOADMODULE"]))
        if self.lines[-1] == "UNLOADMODULE":
            self.module = self.palette = self.library = self.history = False
            self.rows, self.selected, self.page = [], None, 0
        else:
            self.module = True

    def command(self):
        rng = self.rng
        pick = rng.random()
        if not self.module:
            # The host's own commands only.
            self.say(rng.choice(["U", "REDO", "REGEN", "ERASE", "CLAYER"]))
            if self.lines[-1] in ("ERASE", "CLAYER"):
                self.prompt_episode("select" if self.lines[-1] == "ERASE" else "text")
        elif pick < 0.45:
            self.say(rng.choice(SELECTING))
            self.prompt_episode("select")
        elif pick < 0.6:
            self.say(rng.choice(PICKING))
            self.prompt_episode("point")
        elif pick < 0.7:
            self.say("CLAYER")
            self.prompt_episode("text")
        elif pick < 0.95:
            self.say(rng.choice(PLAIN))
        else:
            self.say("marvolthide")
            self.palette = not self.palette

    def main_window(self):
        rng = self.rng
        pick = rng.random()
        if pick < 0.3:
            self.say(rng.choice(["@ui show main", '@ui show main "Edit"', '@ui show main "Marvolt"']))
        elif pick < 0.5:
            self.say(f"@ui resize main {rng.randint(1, 1600)} {rng.randint(1, 1200)}")
        elif pick < 0.6:
            self.say(rng.choice(['@ui menu "View/Zoom Extents"', '@ui menu "View/Regen"', '@ui menu "File/New"']))
        elif pick < 0.7:
            self.say('@ui menu "Edit/Erase"')
            self.prompt_episode("select")
        elif pick < 0.85 and self.module:
            self.say('@ui menu "Marvolt/Burst Blocks"')
            self.prompt_episode("select")
        else:
            self.say('@ui shot "shot.png"')

    def view_action(self):
        rng = self.rng
        verb = rng.choice(["click", "dclick", "show", "tip", "focus", "key"])
        if verb == "key":
            self.say(f"@ui key view {rng.choice(['Ctrl+Z', 'Ctrl+Y', 'Esc', 'Home', 'Delete'])}")
        else:
            self.say(f"@ui {verb} view")

    def file_line(self):
        rng = self.rng
        if rng.random() < 0.5:
            self.say(rng.choice(["@save saved.dwg", "@save saved.dwg", "@save other.dwg"]))
        else:
            self.say(f"@open {rng.choice(['other.dwg', 'drawing.dwg', 'truncated.dwg'])}")
            # The palette follows the current drawing; what the field list holds stays.

    def palette_frame(self):
        rng = self.rng
        pick = rng.random()
        if pick < 0.4:
            self.say(f"@ui dock {rng.choice(['left', 'right', 'float'])} {rng.randint(0, 1200)}")
        elif pick < 0.55:
            self.say("@ui dclick palette")
        elif pick < 0.7:
            self.say("@ui close palette")
            self.palette = False
        else:
            self.say(rng.choice(["@ui show palette", "@ui show 103", "@ui show 103:102", "@ui tip palette"]))

    def switch_page(self):
        item, page = self.rng.choice([("#0", 0), ("#1", 1), ('" Field Manager "', 1), ('" Block Explorer "', 0)])
        self.say(f"@ui tab 103:102 {item}")
        self.page = page

    # --- the Block Manager page ---

    def block_page(self):
        rng = self.rng
        pick = rng.random()
        if pick < 0.15 or not self.library or (0.75 <= pick < 0.93 and not self.history):
            path = rng.choice(PATHS[:3] + PATHS[:1] * 4 + [rng.choice(TEXTS)])
            self.say(f"@ui type 104:117 {quote(path)}")
            self.library = path in ("lib/library.dwg", "other.dwg") and path
            self.history = self.history or bool(self.library)
        elif pick < 0.25:
            self.say(f"@ui {rng.choice(['show', 'tip'])} {rng.choice(BM_CONTROLS)}")
        elif pick < 0.35:
            self.say(f"@ui dclick 104:119 {self.block_item()}")
            self.prompt_episode("point")
        elif pick < 0.45:
            end = rng.choice([f"view {point(rng)}", "outside", "cancel"])
            list_ = rng.choice(["104:119", "104:118"]) if self.history else "104:119"
            item = self.block_item() if list_ == "104:119" else "#0"
            self.say(f"@ui drag {list_} {item} {end}")
            if end.startswith("view"):
                self.prompt_episode("point")
        elif pick < 0.55:
            self.say(f"@ui key {rng.choice(['104:119', '104:118', '104:117', '104:170'])} {rng.choice(KEYS)}")
            if self.lines[-1].startswith("@ui key 104:119 Enter"):
                self.prompt_episode("point")
        elif pick < 0.65:
            self.say(f"@ui {rng.choice(['tick', 'untick'])} {rng.choice(['104:155', '104:167', '104:168', '104:171'])}")
        elif pick < 0.75:
            # A scale or a rotation a placement cannot take is told in a box: not typed here.
            edit = rng.choice(["104:170", "104:108", "104:110"])
            text = {"104:170": rng.choice(["", "ge", "*", "?E*", "[", "Büro"]), "104:108": rng.choice(["1", "2", "0.5"]),
                    "104:110": rng.choice(["0", "45", "-90", "360"])}[edit]
            self.say(f"@ui type {edit} {quote(text)}")
            if edit == "104:170" and text:
                # What the filter leaves listed is not known here: it is emptied again.
                self.say(rng.choice(["@ui show 104:119", "@ui tip 104:119"]), '@ui type 104:170 ""')
        elif pick < 0.85:
            self.say(f"@ui {rng.choice(['select', 'click', 'dclick'])} 104:118 #0")
            self.library = "some"
        elif pick < 0.93:
            item = rng.choice(["#0", ""])
            self.say(f"@ui rclick 104:118 {item}".rstrip())
            entry = rng.choice(["Open", "Clear Item", "Clear All Items"] if item else ["Clear All Items"])
            self.say(f'@ui menu "{entry}"')
            if entry == "Open":
                self.library = "some"
            else:
                answer = rng.choice(['Yes', 'No'])
                self.say(f"@ui answer {answer}")
                self.history = self.history and answer == "No"
        else:
            self.say("@ui browse 104:117")
            self.modals.append("file")
            self.pending = None

    def block_item(self):
        if self.library == "lib/library.dwg":
            return self.rng.choice(BLOCK_ITEMS)
        return "#0"

    # --- the Field Manager page and its dialogs ---

    def field_page(self):
        rng = self.rng
        pick = rng.random()
        if pick < 0.45:
            self.field_choice(rng.choice(FM_ACTIONS + ["Add Key"] * 4 + ["Save To Database", "Get From Database"]))
        elif pick < 0.55:
            self.say(f"@ui {rng.choice(['show', 'tip'])} {rng.choice(FM_CONTROLS)}")
        elif pick < 0.62:
            self.say(f"@ui tick {rng.choice(['105:128', '105:129', '105:132'])}")
        elif pick < 0.67:
            self.say("@ui header 105:130 0")
        elif pick < 0.75 and self.rows:
            row = rng.randrange(len(self.rows))
            self.say(f"@ui {rng.choice(['click', 'select'])} 105:130 #{row}")
            self.selected = row
        elif pick < 0.82:
            # Keys in the list, in place editing included.
            self.say(f"@ui key 105:130 {rng.choice(KEYS)}")
            if rng.random() < 0.5:
                self.say(f"@ui type 105:130 {quote(rng.choice(TEXTS))}")
        elif pick < 0.88 and self.rows:
            row = rng.randrange(len(self.rows))
            self.say(f"@ui dclick 105:130 #{row}")
            self.selected = row
            self.key_dialog(editing=row)
        elif pick >= 0.88 and self.rows:
            row = rng.randrange(len(self.rows))
            self.say(f"@ui drag 105:130 #{row} {rng.choice([f'view {point(rng)}', 'outside', 'cancel'])}")
            if "view" in self.lines[-1]:
                self.prompt_episode("point")
        else:
            self.field_choice("Add Key")

    def field_choice(self, action):
        self.say(f"@ui choose 105:125 {quote(action)}")
        if action == "Add Key" or (action == "Edit Key" and self.selected is None):
            self.key_dialog(editing=None)
        elif action == "Edit Key":
            self.key_dialog(editing=self.selected)
        elif action == "Delete Key":
            if self.selected is not None and self.selected < len(self.rows):
                del self.rows[self.selected]
            self.selected = None
        elif action == "Clear Grid":
            self.rows, self.selected = [], None
        elif action in ("Save To This Drawing", "Clear this Drawing"):
            self.modals.append("yesno")
        elif action.endswith("Other Drawing"):
            self.modals.append("file")
            self.pending = action
        elif action == "Save To Database":
            self.modals.append("text")
            self.pending = "save"
        elif action == "Get From Database":
            self.modals.append("browser")
            self.browser_selected = False
            if not self.database:
                self.modals.append("box")
        elif action == "Get From This Drawing":
            self.rows.append(None)  # keys of the drawing's own: unknown here

    def key_dialog(self, editing):
        self.modals.append("key")
        self.pending = ("key", editing)

    # --- inside modal windows ---

    def modal_action(self):
        top = self.modals[-1]
        getattr(self, "in_" + top)()

    def close_top(self):
        self.modals.pop()

    def in_box(self):
        self.say("@ui answer OK")
        self.close_top()

    def in_yesno(self):
        self.say(f"@ui answer {self.rng.choice(['Yes', 'No'])}")
        self.close_top()

    def in_menu(self):
        self.say('@ui menu "Open"')
        self.close_top()

    def in_file(self):
        rng = self.rng
        path = rng.choice(PATHS + ["Cancel"])
        self.say("@ui answer Cancel" if path == "Cancel" else f"@ui answer {quote(path)}")
        self.close_top()
        action, self.pending = self.pending, None
        if path == "Cancel" or action is None:
            return
        readable = path in ("other.dwg", "lib/library.dwg")
        if action == "Get From Other Drawing":
            if readable:
                self.rows.append(None)
            else:
                self.modals.append("box")
        elif action in ("Save To Other Drawing", "Clear Other Drawing"):
            answer = rng.choice(["Yes", "No"])
            self.say(f"@ui answer {answer}")
            if answer == "Yes" and not readable:
                self.modals.append("box")

    def in_key(self):
        rng = self.rng
        pick = rng.random()
        kind, editing = self.pending if isinstance(self.pending, tuple) else ("key", None)
        if pick < 0.35:
            self.say(f"@ui type 121:131 {quote(self.key_text())}")
            self.typed_key = self.lines[-1][len("@ui type 121:131 "):][1:-1]
        elif pick < 0.55:
            self.say(f"@ui type 121:133 {quote(rng.choice(TEXTS))}")
        elif pick < 0.65:
            self.say(f"@ui {rng.choice(['show', 'tip', 'focus'])} {rng.choice(['121', '121:131', '121:133', '121:1'])}")
        elif pick < 0.7:
            self.say(f"@ui key {rng.choice(['121:131', '121:133'])} Tab")
        elif pick < 0.85:
            self.say(rng.choice(["@ui answer OK", "@ui key 121:133 Enter", "@ui click 121:1"]))
            self.close_top()
            self.pending = None
            key = self.typed_key
            if key is None and editing is not None and editing < len(self.rows):
                key = self.rows[editing]
            self.typed_key = None
            others = [k.lower() for i, k in enumerate(self.rows) if k is not None and i != editing]
            if not key or key.lower() in others:
                self.modals.append("box")
            elif editing is not None and editing < len(self.rows):
                self.rows[editing] = key
            else:
                self.rows.append(key)
        else:
            self.say(rng.choice(["@ui answer Cancel", "@ui key 121:131 Esc", "@ui click 121:2", "@ui close 121"]))
            self.close_top()
            self.pending = None
            self.typed_key = None

    def key_text(self):
        rng = self.rng
        known = [k for k in self.rows if k]
        if known and rng.random() < 0.15:
            key = rng.choice(known)
            return key.upper() if rng.random() < 0.5 else key
        if rng.random() < 0.1:
            return ""
        return rng.choice(TEXTS[:3] + TEXTS[7:9] + TEXTS[10:17]) + f" {rng.randint(0, 99999)}"

    def in_text(self):
        rng = self.rng
        pick = rng.random()
        if pick < 0.4:
            name = rng.choice(["Doors", "Team", "doors", "", " ", "9lives", "Büro", "Set'quote", 'Q\\"x', "x" * 300])
            self.say(f"@ui type 127:134 {quote(name)}")
            self.typed_name = name.replace('\\"', '"')
        elif pick < 0.5:
            self.say(f"@ui {rng.choice(['show', 'tip'])} {rng.choice(['127', '127:134', '127:135'])}")
        elif pick < 0.8:
            self.say(rng.choice(["@ui answer OK", "@ui key 127:134 Enter", "@ui click 127:1"]))
            self.close_top()
            name = self.typed_name
            self.typed_name = ""
            renaming = self.pending == "rename"
            self.pending = None
            if renaming:
                name = name.strip()
            valid = bool(name) and name[0].isascii() and name[0].isalpha()
            if not valid:
                self.modals.append("box")
            elif renaming:
                self.tables.add(name.lower())
            elif name.lower() in self.tables:
                self.modals.append("box")
            else:
                self.tables.add(name.lower())
                self.database = True
        else:
            self.say(rng.choice(["@ui answer Cancel", "@ui key 127:134 Esc", "@ui click 127:2"]))
            self.close_top()
            self.pending = None
            self.typed_name = ""

    def in_browser(self):
        rng = self.rng
        pick = rng.random()
        if pick < 0.3:
            names = sorted(self.tables)
            if names:
                item = quote(rng.choice(names)) if rng.random() < 0.6 else f"#{rng.randrange(len(names))}"
                self.say(f"@ui select 136:139 {item}")
                self.browser_selected = True
        elif pick < 0.4:
            self.say(f"@ui {rng.choice(['show', 'tip'])} {rng.choice(['136', '136:139', '136:137', '136:138'])}")
        elif pick < 0.45:
            self.say(f"@ui header 136:139 {rng.choice([0, 1])}")
        elif pick < 0.55:
            self.say("@ui click 136:137")
        elif pick < 0.65:
            self.say("@ui click 136:138")
            if self.browser_selected:
                self.modals.append("text")
                self.pending = "rename"
        elif pick < 0.85:
            # Enter in the list loads the selected set; without one it does nothing.
            self.say(rng.choice(["@ui click 136:1", "@ui answer OK"] + ["@ui key 136:139 Enter"] * self.browser_selected))
            self.close_top()
            if self.browser_selected:
                self.rows.append(None)
        else:
            self.say(rng.choice(["@ui key 136:139 Esc", "@ui answer Cancel", "@ui click 136:2", "@ui close 136"]))
            self.close_top()

    # --- the whole script ---

    def step(self):
        if self.modals:
            self.modal_action()
            return
        acts = self.idle_actions()
        total = sum(w for w, _ in acts)
        pick = self.rng.uniform(0, total)
        for weight, act in acts:
            pick -= weight
            if pick <= 0:
                act()
                return
        acts[-1][1]()


def make_script(seed, length):
    rng = random.Random(seed)
    session = Session(rng)
    session.say(f"; random session, seed {seed}")
    while len(session.lines) < length:
        session.step()
    # What is still open is answered so that the run can end well.
    for _ in range(8):
        if not session.modals:
            break
        session.modal_action()
    return session.lines


def prepare(work, drawings, seed):
    """A folder of the run's own: the drawing, a library beside it, another drawing, a cut one."""
    folder = os.path.join(work, f"seed{seed}")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, "lib"))
    drawing = drawings[seed % len(drawings)]
    shutil.copy(drawing, os.path.join(folder, "drawing.dwg"))
    shutil.copy(drawings[0], os.path.join(folder, "other.dwg"))
    library = next((d for d in drawings if os.path.basename(d) == "library.dwg"), drawings[-1])
    shutil.copy(library, os.path.join(folder, "lib", "library.dwg"))
    with open(drawing, "rb") as f:
        data = f.read()
    with open(os.path.join(folder, "truncated.dwg"), "wb") as f:
        f.write(data[: len(data) * 2 // 3])
    return folder, os.path.basename(drawing)


def run_seed(host, work, drawings, seed, length):
    folder, drawing = prepare(work, drawings, seed)
    lines = make_script(seed, length)
    script = os.path.join(folder, "session.scr")
    with open(script, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    env = dict(os.environ, TMPDIR=folder + "/", XDG_CONFIG_HOME=os.path.join(folder, "config"))
    started = time.monotonic()
    try:
        run = subprocess.run([host, "--open", "drawing.dwg", "--script", "session.scr"], cwd=folder, env=env,
                             capture_output=True, text=True, errors="replace", timeout=RUN_TIMEOUT)
    except subprocess.TimeoutExpired:
        return f"seed {seed} ({drawing}): no end after {RUN_TIMEOUT} s; script {script}", None
    seconds = time.monotonic() - started
    rc = run.returncode
    where = re.search(r"session\.scr:(\d+):", run.stderr)
    reached = int(where.group(1)) if where and rc != 0 else len(lines)
    status = KNOWN_STATUSES.get(rc)
    summary = (f"seed {seed:4} {drawing:16} {len(lines):3} lines, ended at {reached:3}, "
               f"status {rc} ({status or 'UNKNOWN'}), {seconds:.1f} s")
    if rc != 0 and run.stderr.strip():
        summary += ": " + run.stderr.strip().splitlines()[-1][:160]
    print(summary, flush=True)
    reports = [r for r in SANITIZER_REPORTS if r in run.stderr]
    if status is None or reports:
        tail = "\n".join(run.stderr.strip().splitlines()[-40:])
        return f"seed {seed} ({drawing}): status {rc}, {reports or 'no sanitizer report'}; script {script}\n{tail}", None
    shutil.rmtree(folder, ignore_errors=True)
    return None, (rc, reached)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("host")
    parser.add_argument("work")
    parser.add_argument("drawings", nargs="+")
    parser.add_argument("--seeds", type=int, default=int(os.environ.get("MARVOLT_RANDOM_SEEDS", "12")))
    parser.add_argument("--first", type=int, default=1)
    parser.add_argument("--lines", type=int, default=60)
    args = parser.parse_args()
    host = os.path.abspath(args.host)
    drawings = [os.path.abspath(d) for d in args.drawings]
    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    made = os.path.join(work, "drawings")
    make_command_drawings.main(made)
    make_view_drawing.main(os.path.join(made, "view.dwg"))
    drawings += [os.path.join(made, n) for n in ("view.dwg", "burst.dwg", "ncopy.dwg", "groups.dwg")]
    failures, statuses, reached = [], {}, 0
    for seed in range(args.first, args.first + args.seeds):
        failure, outcome = run_seed(host, work, drawings, seed, args.lines)
        if failure:
            failures.append(failure)
            continue
        statuses[outcome[0]] = statuses.get(outcome[0], 0) + 1
        reached += outcome[1]
    for failure in failures:
        print("FAILED:", failure)
    counts = ", ".join(f"{KNOWN_STATUSES[rc]} {n}" for rc, n in sorted(statuses.items()))
    print(f"{args.seeds} runs, {reached} lines acted on, statuses: {counts or 'none'}; {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
