#!/usr/bin/python3
"""End to end: how marvolt-host answers scripts it cannot run to the end.

Each case writes a script, runs it on the sample drawing with --save, and checks the
exit status, the message on standard error and that nothing was saved after a failure.

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
]


def main(host, drawing, work):
    os.makedirs(work, exist_ok=True)
    failures = []
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
    print(f"{len(CASES)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
