#!/usr/bin/python3
"""End to end: how marvolt-host answers scripts it cannot run to the end.

Each case writes a script, runs it on the sample drawing with --save, and checks the
exit status, the message on standard error and that nothing was saved after a failure.
The start-up cases run the host with other options, and pin the exit statuses that do
not come from a script line: 1 for the host's own options and the module, 4 for files.

Usage: script_errors_test.py HOST DRAWING WORKDIR
"""
import os
import subprocess
import sys

CASES = [
    # name, script, exit status, the whole of standard error after "marvolt-host: " (S: the script)
    ("unknown command", "texttoclayer\n^C\nnosuchcommand\n", 2,
     'S:3: unknown command "nosuchcommand"'),
    ("input a prompt cannot take", "_TEXTTOCLAYER\n5,abc\n", 3,
     'S:2: "5,abc" is not a selection: a point, W x1,y1 x2,y2, C x1,y1 x2,y2 or ALL'),
    ("script ends while a prompt waits", "texttoclayer\nALL\n", 3,
     'S: the input ended while the prompt "Select objects: " was waiting'),
    ("unknown file action", "@frobnicate\n", 2,
     'S:1: "@frobnicate" is not a file action (@open PATH or @save [PATH])'),
    ("drawing that cannot be opened", "@open /nonexistent/x.dwg\n", 4, "S:1: cannot open /nonexistent/x.dwg: The drawing /nonexistent/x.dwg does not exist."),
    ("escape is a cancel, not an error", "dimtoclayer\n^C\n", 0, ""),
    ("the module's commands are gone once it is unloaded", "UNLOADMODULE\ntexttoclayer\n", 2,
     'S:2: unknown command "texttoclayer"'),
    # A person cannot reach the page behind an open message box or dialog.
    ("the page behind a message box", 'marvolt\n@ui tab 103:102 " Field Manager "\n'
     '@ui choose 105:125 "Clear this Drawing"\n@ui choose 105:125 "Add Key"\n', 3,
     'S:4: "@ui choose 105:125 "Add Key"" is not a @ui line the host can act on: 105:125 is behind the open modal window'),
    ("the page behind a dialog", 'marvolt\n@ui tab 103:102 " Field Manager "\n'
     '@ui choose 105:125 "Add Key"\n@ui show 105:130\n@ui key 105:130 F2\n', 3,
     'S:5: "@ui key 105:130 F2" is not a @ui line the host can act on: 105:130 is behind the open modal window'),
]


# name, options, exit status, the first line of standard error after "marvolt-host: ";
# {drawing} is the sample drawing, {work} the work folder, {missing} a path that is not there
START_CASES = [
    ("missing drawing", ["--open", "{missing}.dwg", "--script", "-"], 4,
     "cannot open {missing}.dwg: The drawing {missing}.dwg does not exist."),
    ("drawing that is a folder", ["--open", "{work}", "--script", "-"], 4,
     "cannot open {work}: {work} is a folder, not a drawing."),
    ("missing script", ["--open", "{drawing}", "--script", "{missing}.scr"], 4, "cannot read script {missing}.scr"),
    ("script that is a folder", ["--open", "{drawing}", "--script", "{work}"], 4, "cannot read script {work}"),
    ("save to a missing folder", ["--open", "{drawing}", "--script", "-", "--save", "{missing}/x.dwg"], 4,
     "cannot save {missing}/x.dwg [eFileAccessErr]"),
    ("unknown option", ["--frobnicate"], 1, "Unknown option 'frobnicate'."),
    ("option without its value", ["--open"], 1, "Missing value after '--open'."),
    ("module that does not load", ["--open", "{drawing}", "--module", "{missing}.so", "--script", "-"], 1,
     "cannot load the module: {missing}.so: cannot open shared object file: No such file or directory"),
]


def start_failures(host, drawing, work):
    failures = []
    names = {"drawing": drawing, "work": work, "missing": os.path.join(work, "missing")}
    for name, options, status, message in START_CASES:
        run = subprocess.run([host] + [o.format(**names) for o in options], input="", capture_output=True,
                             text=True, env=dict(os.environ, TMPDIR=work))
        if run.returncode != status:
            failures.append(f"{name}: exit status {run.returncode}, expected {status}")
        first = run.stderr.splitlines()[0] if run.stderr else ""
        want = "marvolt-host: " + message.format(**names)
        if first != want:
            failures.append(f"{name}: standard error begins {first!r}, expected {want!r}")
    return failures


def main(host, drawing, work):
    os.makedirs(work, exist_ok=True)
    failures = start_failures(host, drawing, work)
    for i, (name, text, status, message) in enumerate(CASES):
        script = os.path.join(work, f"case{i}.scr")
        saved = os.path.join(work, f"case{i}.dwg")
        with open(script, "w", encoding="utf-8") as f:
            f.write(text)
        if os.path.exists(saved):
            os.remove(saved)
        run = subprocess.run([host, "--open", drawing, "--script", script, "--save", saved],
                             capture_output=True, text=True, env=dict(os.environ, TMPDIR=work))
        want = ("marvolt-host: " + message.replace("S", script, 1) + "\n") if message else ""
        if run.returncode != status:
            failures.append(f"{name}: exit status {run.returncode}, expected {status}")
        if run.stderr != want:
            failures.append(f"{name}: standard error {run.stderr!r}, expected {want!r}")
        if os.path.exists(saved) != (status == 0):
            failures.append(f"{name}: the drawing was {'' if os.path.exists(saved) else 'not '}saved")
    for f in failures:
        print(f)
    print(f"{len(CASES) + len(START_CASES)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
